// plus through the embedded host: the frame, mixed classes, the complexity
// rule and copied imaginary parts, the fixed sums, and every group shape at
// unaligned addresses inside the host's guard zones.
#include "caller_mode.h"
#include "operator_calls.h"

#include <cstdint>

namespace fpmex::test {
namespace {

TEST(Plus, FrameChecksCountsAndPrintsTheBanner)
{
    const CallResult banner = call("single/plus", 0, {});
    EXPECT_FALSE(banner.failed);
    EXPECT_EQ(banner.printed.rfind("\nAddition.\n\n\t", 0), 0u) << banner.printed;
    EXPECT_EQ(banner.outputs.at(0), nullptr);
    expectOnlyError(call("single/plus", 2, {}), "Too many output arguments.", "two outputs, no input");
    const Array a = arg("single(1)");
    expectOnlyError(call("single/plus", 2, {a.get(), a.get()}), "Too many output arguments.", "two outputs");
    expectOnlyError(call("single/plus", 1, {a.get()}), "Wrong number of input arguments.", "one input");
    expectOnlyError(call("single/plus", 1, {a.get(), a.get(), a.get()}), "Wrong number of input arguments.",
                    "three inputs");
    const CallResult noOutputs = call("single/plus", 0, {a.get(), a.get()});
    ASSERT_NE(noOutputs.outputs.at(0), nullptr);
    EXPECT_EQ(realPart<float>(noOutputs.outputs[0].get()), std::vector<float>{2.0f});
}

TEST(Plus, DoubleOperandOnEitherSideGivesSingle)
{
    const Array s = arg("single([1 2 3])"), d = arg("2");
    for (const auto& [first, second] : {std::pair{s.get(), d.get()}, std::pair{d.get(), s.get()}}) {
        const CallResult result = call("single/plus", 1, {first, second});
        ASSERT_FALSE(result.failed) << result.error;
        EXPECT_EQ(mxGetClassID(result.outputs[0].get()), mxSINGLE_CLASS);
        EXPECT_EQ(realPart<float>(result.outputs[0].get()), (std::vector<float>{3, 4, 5}));
        EXPECT_EQ(mxGetImagData(result.outputs[0].get()), nullptr);
    }
}

struct ComplexCase {
    const char* first;
    const char* second;
    std::vector<std::uint32_t> re;
    std::vector<std::uint32_t> im;
};

// A real operand's imaginary part is copied, never added as +0; the result
// is complex whenever an operand is, even if every imaginary part is 0.
TEST(Plus, ComplexResultsAndCopiedImaginaryParts)
{
    const std::vector<ComplexCase> cases = {
        {"complex(single(1), single(2))", "single([1 2])", {0x40000000, 0x40400000}, {0x40000000, 0x40000000}},
        {"single([1 2])", "complex(single([1 2]), single([1 -0]))", {0x40000000, 0x40800000}, {0x3F800000, 0x80000000}},
        {"complex(single([1 2]), single([1 -0]))", "single([1 2])", {0x40000000, 0x40800000}, {0x3F800000, 0x80000000}},
        {"single([5 6])", "complex(single(0), typecast(uint32(0x7F800001), 'single'))",
         {0x40A00000, 0x40C00000}, {0x7F800001, 0x7F800001}},
        {"complex(single([1 2]), single([3 -4]))", "complex(single([1 2]), single([-3 4]))",
         {0x40000000, 0x40800000}, {0x00000000, 0x00000000}},
        {"complex(single(1), typecast(uint32(0x7FC00001), 'single'))",
         "complex(single(1), typecast(uint32(0x7FC00002), 'single'))", {0x40000000}, {0x7FC00002}},
    };
    for (const ComplexCase& c : cases) {
        const Array a = arg(c.first), b = arg(c.second);
        const CallResult result = call("single/plus", 1, {a.get(), b.get()});
        ASSERT_FALSE(result.failed) << result.error;
        ASSERT_TRUE(mxIsComplex(result.outputs[0].get())) << c.first << " + " << c.second;
        EXPECT_EQ(realBits(result.outputs[0].get()), c.re) << c.first << " + " << c.second;
        EXPECT_EQ(imagBits(result.outputs[0].get()), c.im) << c.first << " + " << c.second;
    }
}

// Computed under the kernel's own mode whatever the caller's, which is
// restored: 1 + 1.5 * 2^-24 rounds up, a subnormal sum flushes, a subnormal
// addend counts, and with two NaNs the first operand's wins.
TEST(Plus, SumsKeepTheirBitsUnderAForeignCallerMode)
{
    const Array a = arg("typecast(uint32([0x7F61B1E6 0x7F800000 0x3F800000 0x00A355E6 0x00C00000 0x7FC00001 0x80000000]), 'single')");
    const Array b = arg("typecast(uint32([0x7F61B1E6 0xFF800000 0x33C00000 0x8098724E 0x80400000 0x7FC00002 0x80000000]), 'single')");
    CallResult result;
    underCallerMode([&] { result = call("single/plus", 1, {a.get(), b.get()}); });
    ASSERT_FALSE(result.failed) << result.error;
    EXPECT_EQ(realBits(result.outputs[0].get()),
              (std::vector<std::uint32_t>{0x7F800000, 0xFFC00000, 0x3F800001, 0x00000000, 0x00800000, 0x7FC00001, 0x80000000}));
}

// Element-wise and both scalar cases, real and complex, for every group
// shape, with the host's buffers off 16-byte boundaries.
TEST(Plus, EveryGroupShapeAtUnalignedAddresses)
{
    const OffsetScope restoreOffsets;
    host::setMallocOffset(8);
    for (std::size_t inputOffset : {4, 8, 12}) {
        host::setInputOffset(inputOffset);
        for (std::size_t count : groupCounts) {
            std::vector<float> aRe(count), aIm(count), bRe(count);
            for (std::size_t k = 0; k < count; ++k) {
                aRe[k] = static_cast<float>(k) * 0.5f;
                aIm[k] = -static_cast<float>(k);
                bRe[k] = static_cast<float>(count - k) + 0.25f;
            }
            const Array a = makeSingle(aRe, aIm), b = makeSingle(bRe), s = makeSingle({3.0f}, {-1.0f});
            const CallResult arrays = call("single/plus", 1, {a.get(), b.get()});
            const CallResult first = call("single/plus", 1, {s.get(), b.get()});
            const CallResult second = call("single/plus", 1, {b.get(), s.get()});
            ASSERT_FALSE(arrays.failed || first.failed || second.failed);
            const std::vector<float> arraysRe = realPart<float>(arrays.outputs[0].get());
            const std::vector<float> arraysIm = imagPart<float>(arrays.outputs[0].get());
            const std::vector<float> firstRe = realPart<float>(first.outputs[0].get());
            const std::vector<float> secondIm = imagPart<float>(second.outputs[0].get());
            for (std::size_t k = 0; k < count; ++k) {
                ASSERT_EQ(arraysRe[k], aRe[k] + bRe[k]) << count << " " << k;
                ASSERT_EQ(arraysIm[k], aIm[k]) << count << " " << k;
                ASSERT_EQ(firstRe[k], bRe[k] + 3.0f) << count << " " << k;
                ASSERT_EQ(secondIm[k], -1.0f) << count << " " << k;
            }
        }
    }
}

} // namespace
} // namespace fpmex::test
