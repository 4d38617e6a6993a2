// fillOnes writes exactly its count elements, whatever the alignment of the
// buffer: the head before the first 16-byte boundary, the top above the last
// whole block and the blocks between them.
#include "arrays/fill_ones.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t oneBits = 0x3F800000;
constexpr std::uint32_t untouched = 0xA5A5A5A5;
constexpr std::size_t margin = 8; // elements checked on either side

// Fills count elements starting offsetBytes past a 16-byte boundary and
// checks every element of the buffer and its margins.
void checkFill(std::size_t count, std::size_t offsetBytes)
{
    std::vector<std::uint32_t> storage(count + 2 * margin + 8, untouched);
    auto base = reinterpret_cast<std::uintptr_t>(storage.data() + margin);
    base = (base + 15) / 16 * 16 + offsetBytes;
    auto* buffer = reinterpret_cast<float*>(base);
    fpmex::fillOnes(buffer, count);
    const auto* words = reinterpret_cast<const std::uint32_t*>(buffer);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(words[i], oneBits) << "element " << i << " of " << count << ", offset " << offsetBytes;
    for (std::size_t i = 1; i <= margin; ++i) {
        ASSERT_EQ(words[-static_cast<std::ptrdiff_t>(i)], untouched) << i << " before, count " << count;
        ASSERT_EQ(words[count - 1 + i], untouched) << i << " after, count " << count;
    }
}

TEST(FillOnes, EveryCountAtEveryHostAlignment)
{
    // 0 and 8 are the hosts' alignments; 4 and 12 must not fault either.
    for (std::size_t offset : {0u, 8u, 4u, 12u})
        for (std::size_t count : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 1000u, 1001u, 1002u, 1003u,
                                  100003u})
            checkFill(count, offset);
}

} // namespace
