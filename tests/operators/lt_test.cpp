// lt through the embedded host: the frame, the logical output, operand order
// and real parts only, NaN scalars, and every group shape at unaligned
// addresses inside the host's guard zones.
#include "caller_mode.h"
#include "operator_calls.h"

#include <cstdint>

namespace fpmex::test {
namespace {

std::vector<unsigned char> bytesOf(const mxArray* array)
{
    const auto* data = static_cast<const unsigned char*>(mxGetData(array));
    return std::vector<unsigned char>(data, data + mxGetNumberOfElements(array));
}

TEST(Lt, FrameChecksCountsAndPrintsTheBanner)
{
    const CallResult banner = call("single/lt", 0, {});
    EXPECT_FALSE(banner.failed);
    EXPECT_EQ(banner.printed.rfind("\nLess than.\n\n\t", 0), 0u) << banner.printed;
    EXPECT_EQ(banner.outputs.at(0), nullptr);
    expectOnlyError(call("single/lt", 2, {}), "Too many output arguments.", "two outputs, no input");
    const Array a = arg("single(1)");
    expectOnlyError(call("single/lt", 1, {a.get()}), "Wrong number of input arguments.", "one input");
    expectOnlyError(call("single/lt", 1, {a.get(), a.get(), a.get()}), "Wrong number of input arguments.",
                    "three inputs");
}

struct LessCase {
    const char* first;
    const char* second;
    std::vector<unsigned char> less;
    std::vector<mwSize> dims;
};

TEST(Lt, LogicalResultOfTheLeftOperandBelowTheRight)
{
    const std::vector<LessCase> cases = {
        {"single(1)", "single([0 1 2])", {0, 0, 1}, {1, 3}},
        {"single([0 1 2])", "single(1)", {1, 0, 0}, {1, 3}},
        {"single([1 2; 3 4])", "single([2 2; 2 2])", {1, 0, 0, 0}, {2, 2}},
        {"int8([1 2 3])", "single(2)", {1, 0, 0}, {1, 3}},
        {"complex(single(1), single(5))", "single(2)", {1}, {1, 1}},
        {"complex(single(3), single(-1))", "complex(single(3), single(9))", {0}, {1, 1}},
        {"single([-0 NaN 1 -Inf Inf])", "single([0 1 NaN -3.4e38 Inf])", {0, 0, 0, 1, 0}, {1, 5}},
        {"single(NaN)", "single([NaN NaN NaN])", {0, 0, 0}, {1, 3}},
        {"single([NaN NaN])", "single(NaN)", {0, 0}, {1, 2}},
    };
    for (const LessCase& c : cases) {
        const Array a = arg(c.first), b = arg(c.second);
        const CallResult result = call("single/lt", 1, {a.get(), b.get()});
        ASSERT_FALSE(result.failed) << result.error;
        const mxArray* out = result.outputs[0].get();
        EXPECT_EQ(mxGetClassID(out), mxLOGICAL_CLASS) << c.first << " < " << c.second;
        EXPECT_EQ(mxGetElementSize(out), 1u);
        EXPECT_EQ(mxGetImagData(out), nullptr);
        EXPECT_EQ(dimensionsOf(out), c.dims) << c.first << " < " << c.second;
        EXPECT_EQ(bytesOf(out), c.less) << c.first << " < " << c.second;
    }
}

TEST(Lt, NaNScalarBesideALargeArrayGivesAllZeros)
{
    const Array nan = arg("single(NaN)"), values = arg("single(-500:499)");
    for (const auto& [first, second] : {std::pair{nan.get(), values.get()}, std::pair{values.get(), nan.get()}}) {
        const CallResult result = call("single/lt", 1, {first, second});
        ASSERT_FALSE(result.failed) << result.error;
        EXPECT_EQ(bytesOf(result.outputs[0].get()), std::vector<unsigned char>(1000, 0));
    }
}

// Subnormal operands compare by their true values even when the caller has
// denormals-are-zero on; the caller's mode is restored.
TEST(Lt, SubnormalsCompareUnderAForeignCallerMode)
{
    const Array a = arg("typecast(uint32([1 0x80000001 0]), 'single')");
    const Array b = arg("typecast(uint32([2 0 1]), 'single')");
    CallResult result;
    underCallerMode([&] { result = call("single/lt", 1, {a.get(), b.get()}); });
    ASSERT_FALSE(result.failed) << result.error;
    EXPECT_EQ(bytesOf(result.outputs[0].get()), (std::vector<unsigned char>{1, 1, 1}));
}

TEST(Lt, EveryGroupShapeAtUnalignedAddresses)
{
    const OffsetScope restoreOffsets;
    host::setMallocOffset(8);
    for (std::size_t inputOffset : {4, 8, 12}) {
        host::setInputOffset(inputOffset);
        for (std::size_t count : groupCounts) {
            std::vector<float> aRe(count), bRe(count);
            for (std::size_t k = 0; k < count; ++k) {
                aRe[k] = static_cast<float>((k * 7) % 5);
                bRe[k] = static_cast<float>((k * 3) % 4);
            }
            const Array a = makeSingle(aRe), b = makeSingle(bRe), s = makeSingle({2.0f});
            const CallResult arrays = call("single/lt", 1, {a.get(), b.get()});
            const CallResult first = call("single/lt", 1, {s.get(), b.get()});
            const CallResult second = call("single/lt", 1, {a.get(), s.get()});
            ASSERT_FALSE(arrays.failed || first.failed || second.failed);
            const std::vector<unsigned char> outArrays = bytesOf(arrays.outputs[0].get()),
                                             outFirst = bytesOf(first.outputs[0].get()),
                                             outSecond = bytesOf(second.outputs[0].get());
            for (std::size_t k = 0; k < count; ++k) {
                ASSERT_EQ(outArrays[k], aRe[k] < bRe[k] ? 1 : 0) << count << " " << k;
                ASSERT_EQ(outFirst[k], 2.0f < bRe[k] ? 1 : 0) << count << " " << k;
                ASSERT_EQ(outSecond[k], aRe[k] < 2.0f ? 1 : 0) << count << " " << k;
            }
        }
    }
}

} // namespace
} // namespace fpmex::test
