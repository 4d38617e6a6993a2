#include "fallback.h"

#include <atomic>

namespace fpmex {
namespace {

std::atomic<std::uint64_t> fallbacks{0};

} // namespace

std::uint64_t fallbackCount()
{
    return fallbacks.load(std::memory_order_relaxed);
}

void countFallbacks(std::uint64_t elements)
{
    fallbacks.fetch_add(elements, std::memory_order_relaxed);
}

} // namespace fpmex
