// Groups of four elements for the SSE kernels of plus and lt. Group g holds
// elements 4g to 4g + 3; the top group holds the 1 to 4 elements left over
// and is done first, then every lower group down to group 0. A partial top
// group moves only its own bytes, so no buffer is read or written past its
// count; full groups use plain unaligned 16-byte (or narrower) accesses.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstring>

namespace fpmex::operators {

// Access to a whole group of four elements.
struct FullGroup {
    static constexpr std::size_t lanes = 4;

    // The group's elements in the low 4 * sizeof(T) bytes of a register.
    template <class T>
    static __m128i loadBits(const T* p)
    {
        if constexpr (sizeof(T) == 4)
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        else if constexpr (sizeof(T) == 2)
            return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        else {
            int word;
            std::memcpy(&word, p, sizeof word);
            return _mm_cvtsi32_si128(word);
        }
    }
    static __m128 load(const float* p) { return _mm_loadu_ps(p); }
    static void store(float* p, __m128 v) { _mm_storeu_ps(p, v); }
    // Four result bytes of lt.
    static void storeBytes(unsigned char* p, const unsigned char* bytes) { std::memcpy(p, bytes, 4); }
};

// Access to the 1 to 3 elements of a partial top group; the lanes beyond
// them read as zero bits and are never stored.
struct PartialGroup {
    std::size_t lanes;

    template <class T>
    __m128i loadBits(const T* p) const
    {
        alignas(16) unsigned char bytes[16] = {};
        std::memcpy(bytes, p, lanes * sizeof(T));
        return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
    }
    __m128 load(const float* p) const { return _mm_castsi128_ps(loadBits(p)); }
    void store(float* p, __m128 v) const
    {
        alignas(16) float values[4];
        _mm_store_ps(values, v);
        std::memcpy(p, values, lanes * sizeof(float));
    }
    void storeBytes(unsigned char* p, const unsigned char* bytes) const { std::memcpy(p, bytes, lanes); }
};

// Calls step(first, access) for every group from the top one down to group
// 0, where first is the group's first element and access a FullGroup or a
// PartialGroup. count is at least 1.
template <class Step>
inline void walkGroupsDown(std::size_t count, Step step)
{
    std::size_t first = (count - 1) & ~std::size_t{3};
    const std::size_t topLanes = count - first;
    if (topLanes == 4)
        step(first, FullGroup{});
    else
        step(first, PartialGroup{topLanes});
    while (first != 0) {
        first -= 4;
        step(first, FullGroup{});
    }
}

} // namespace fpmex::operators
