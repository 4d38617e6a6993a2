// Checks shared by the plus and lt tests that go through the embedded host.
#pragma once

#include "mex_test.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fpmex::test {

inline std::vector<std::uint32_t> realBits(const mxArray* array)
{
    std::vector<std::uint32_t> bits;
    for (float value : realPart<float>(array))
        bits.push_back(bitsOf(value));
    return bits;
}

inline std::vector<std::uint32_t> imagBits(const mxArray* array)
{
    std::vector<std::uint32_t> bits;
    for (float value : imagPart<float>(array))
        bits.push_back(bitsOf(value));
    return bits;
}

// The call ended with exactly this message and did nothing else visible.
inline void expectOnlyError(const CallResult& result, const std::string& message, const std::string& context)
{
    EXPECT_TRUE(result.failed) << context;
    EXPECT_EQ(result.error, message) << context;
    EXPECT_TRUE(result.printed.empty()) << context;
    EXPECT_TRUE(result.warnings.empty()) << context;
}

// An empty 0-by-0 result of the given class.
inline void expectEmptyResult(const CallResult& result, mxClassID classId, const std::string& context)
{
    ASSERT_FALSE(result.failed) << context << ": " << result.error;
    const mxArray* out = result.outputs.at(0).get();
    ASSERT_NE(out, nullptr) << context;
    EXPECT_EQ(mxGetClassID(out), classId) << context;
    EXPECT_EQ(dimensionsOf(out), (std::vector<mwSize>{0, 0})) << context;
    EXPECT_EQ(mxGetData(out), nullptr) << context;
}

// Puts the host's buffers back on their default alignment after a test
// that moved them.
struct OffsetScope {
    ~OffsetScope()
    {
        host::setMallocOffset(0);
        host::setInputOffset(0);
    }
};

// Element counts that exercise every shape of the top group of four, and a
// large one.
inline const std::vector<std::size_t> groupCounts = {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 1001};

} // namespace fpmex::test
