// The shared entry frame, seen through test-only deliverables: count checks
// in their order, the banner, output shapes, who decides complexity, and the
// caller's floating-point state.
#include "mex_test.h"

#include <xmmintrin.h>

namespace fpmex::test {
namespace {

constexpr const char* flagProbe = "test/probe_flag";
constexpr const char* likeProbe = "test/probe_like";

TEST(Frame, CountChecksComeInOrder)
{
    const Array x = makeSingle({1});
    // Too many outputs wins even without inputs, and prints no banner.
    CallResult r = call(flagProbe, 3, {});
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.error, "Too many output arguments.");
    EXPECT_EQ(r.printed, "");

    r = call(flagProbe, 1, {x.get(), x.get()});
    EXPECT_EQ(r.error, "Wrong number of input arguments.");
}

TEST(Frame, BannerWithoutInputsAndNoOutput)
{
    const CallResult r = call(flagProbe, 1, {});
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.printed, "\nFrame probe.\n\n\tfpmex " FPMEX_VERSION ", single function set\n\n");
    ASSERT_EQ(r.outputs.size(), 1u);
    EXPECT_EQ(r.outputs[0], nullptr);
}

TEST(Frame, OutputTakesInputShapeAndFillsFirstSlotForNargoutZero)
{
    const Array x = arg("single(reshape(1:24, 2, 3, 4))");
    const CallResult r = call(likeProbe, 0, {x.get()});
    ASSERT_FALSE(r.failed) << r.error;
    ASSERT_NE(r.outputs[0], nullptr);
    EXPECT_TRUE(mxIsSingle(r.outputs[0].get()));
    EXPECT_EQ(dimensionsOf(r.outputs[0].get()), (std::vector<mwSize>{2, 3, 4}));
    EXPECT_EQ(realPart<float>(r.outputs[0].get()), realPart<float>(x.get()));
}

TEST(Frame, EmptyInputsGiveEmptyOutputsWithoutData)
{
    for (const char* shape : {"single(zeros(0,3))", "single(zeros(2,0,5))", "single(zeros(0,0))"}) {
        const Array x = arg(shape);
        for (const char* probe : {flagProbe, likeProbe}) {
            const CallResult r = call(probe, 1, {x.get()});
            ASSERT_FALSE(r.failed) << shape;
            const mxArray* out = r.outputs[0].get();
            EXPECT_EQ(dimensionsOf(out), dimensionsOf(x.get())) << shape;
            EXPECT_EQ(mxGetData(out), nullptr) << shape;
            EXPECT_FALSE(mxIsComplex(out)) << shape;
            EXPECT_EQ(r.stats.blocks, 0u) << shape << ": nothing to allocate for an empty result";
        }
    }
}

TEST(Frame, ImaginaryPartOnTheKernelsFlag)
{
    const Array positive = makeSingle({1, 2, 3});
    CallResult r = call(flagProbe, 1, {positive.get()});
    EXPECT_FALSE(mxIsComplex(r.outputs[0].get()));
    // The unattached imaginary buffer is released with the call.
    EXPECT_EQ(r.stats.releasedBlocks, 1u);

    const Array mixed = makeSingle({1, -2, 3});
    r = call(flagProbe, 1, {mixed.get()});
    ASSERT_TRUE(mxIsComplex(r.outputs[0].get()));
    EXPECT_EQ(imagPart<float>(r.outputs[0].get()), (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(realPart<float>(r.outputs[0].get()), (std::vector<float>{-1, 2, -3}));

    // A complex input whose results are all real gives a real output.
    const Array complexInput = makeSingle({1, 2}, {5, 6});
    r = call(flagProbe, 1, {complexInput.get()});
    EXPECT_FALSE(mxIsComplex(r.outputs[0].get()));
}

TEST(Frame, ComplexOutputExactlyWhenInputIsComplex)
{
    const Array zeroImaginary = makeSingle({1, 2}, {0, 0});
    CallResult r = call(likeProbe, 1, {zeroImaginary.get()});
    ASSERT_TRUE(mxIsComplex(r.outputs[0].get()));
    EXPECT_EQ(imagPart<float>(r.outputs[0].get()), (std::vector<float>{0, 0}));

    const Array real = makeSingle({1, 2});
    r = call(likeProbe, 1, {real.get()});
    EXPECT_FALSE(mxIsComplex(r.outputs[0].get()));
}

// Octave sends every call here whatever the argument's class; the kernels
// must never read another class's buffer as single (a 3-byte int8 buffer
// read as 12 bytes). The embedded host has no builtin to hand it to.
TEST(Frame, ArgumentsOfAnotherClassAreNeverReadAsTheSetsType)
{
    for (const char* foreign : {"int8([1 2 3])", "[1 2 3]", "'abc'", "sparse(single([1 0 2]))", "{1}"}) {
        const Array x = arg(foreign);
        for (const char* probe : {flagProbe, likeProbe}) {
            const CallResult r = call(probe, 1, {x.get()});
            EXPECT_TRUE(r.failed) << foreign;
            EXPECT_EQ(r.error, "Argument must be a full single array.") << foreign;
        }
    }
}

// The probe's kernel computes under round-down and flush-to-zero; the
// caller's own modes, set here to something unusual, come back unchanged.
TEST(Frame, CallerFloatingPointStateSurvivesTheKernel)
{
    std::uint16_t callerControl = 0x0B7F; // round up, 64-bit precision
    asm volatile("fldcw %0" : : "m"(callerControl));
    const unsigned callerMxcsr = (_mm_getcsr() & ~0x6000u) | 0x4000u; // round down
    _mm_setcsr(callerMxcsr);

    const Array x = makeSingle({-1, 2});
    const CallResult r = call(flagProbe, 1, {x.get()});

    std::uint16_t control;
    asm volatile("fnstcw %0" : "=m"(control));
    const unsigned mxcsr = _mm_getcsr();
    std::uint16_t standard = 0x037F;
    asm volatile("fldcw %0" : : "m"(standard));
    _mm_setcsr(0x1F80);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(control, callerControl);
    EXPECT_EQ(mxcsr & ~0x3Fu, callerMxcsr & ~0x3Fu);
}

} // namespace
} // namespace fpmex::test
