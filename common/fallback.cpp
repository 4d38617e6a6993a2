#include "fallback.h"

#include <atomic>

namespace fpmex {
namespace {

std::atomic<std::uint64_t> fallbacks{0};
thread_local std::uint64_t threadFallbacks = 0;

} // namespace

std::uint64_t fallbackCount()
{
    return fallbacks.load(std::memory_order_relaxed);
}

std::uint64_t threadFallbackCount()
{
    return threadFallbacks;
}

void countFallbacks(std::uint64_t elements)
{
    fallbacks.fetch_add(elements, std::memory_order_relaxed);
    threadFallbacks += elements;
}

} // namespace fpmex
