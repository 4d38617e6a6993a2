// Shared pieces of the accuracy tool: a block-parallel loop, a seeded
// generator and the conversions between values and bit patterns.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fpmex::accuracy {

inline std::uint32_t bitsOf(float x)
{
    std::uint32_t b;
    std::memcpy(&b, &x, 4);
    return b;
}
inline std::uint64_t bitsOf(double x)
{
    std::uint64_t b;
    std::memcpy(&b, &x, 8);
    return b;
}
inline float floatOf(std::uint32_t b)
{
    float x;
    std::memcpy(&x, &b, 4);
    return x;
}
inline double doubleOf(std::uint64_t b)
{
    double x;
    std::memcpy(&x, &b, 8);
    return x;
}

// splitmix64: small, fast, and the same stream for a given seed everywhere.
struct Random {
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }
};

// Runs work(block, worker) for blocks 0..blocks-1 on `threads` threads, each
// taking the next free block.
inline void parallelBlocks(std::size_t blocks, unsigned threads,
                           const std::function<void(std::size_t, unsigned)>& work)
{
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) {
        pool.emplace_back([&, t] {
            for (std::size_t b = next++; b < blocks; b = next++) {
                work(b, t);
            }
        });
    }
    for (auto& thread : pool) {
        thread.join();
    }
}

// True when name is among the requested functions, or none was requested.
inline bool isChosen(const std::vector<std::string>& names, const std::string& name)
{
    return names.empty() || std::find(names.begin(), names.end(), name) != names.end();
}

int runSingleExhaustive(const std::vector<std::string>& functions, unsigned threads);
int runDoubleSampled(const std::vector<std::string>& functions, std::uint64_t samples, unsigned threads);
int runExactSampled(std::uint64_t samples, unsigned threads);

} // namespace fpmex::accuracy
