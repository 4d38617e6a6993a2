// The argument parser that the runner and every test rely on to describe
// inputs exactly.
#include "mex_test.h"

#include "display.h"

#include <cmath>

namespace fpmex::test {
namespace {

struct ParseCase {
    const char* expression;
    mxClassID classId;
    std::vector<mwSize> dims;
    std::vector<double> re; // empty: not checked
    std::vector<double> im; // empty: real
};

TEST(Parse, ExpressionsGiveTheArrayMatlabWould)
{
    const std::vector<ParseCase> cases = {
        {"3", mxDOUBLE_CLASS, {1, 1}, {3}, {}},
        {"[1 2; 3 4]", mxDOUBLE_CLASS, {2, 2}, {1, 3, 2, 4}, {}},
        {"[1 -2]", mxDOUBLE_CLASS, {1, 2}, {1, -2}, {}},
        {"[1 - 2]", mxDOUBLE_CLASS, {1, 1}, {-1}, {}},
        {"[1, 2]'", mxDOUBLE_CLASS, {2, 1}, {1, 2}, {}},
        {"2+3i", mxDOUBLE_CLASS, {1, 1}, {2}, {3}},
        {"single([-4 8])", mxSINGLE_CLASS, {1, 2}, {-4, 8}, {}},
        {"int8([-200 1.5 2.5])", mxINT8_CLASS, {1, 3}, {-128, 2, 3}, {}},
        {"uint32(2^31+129)", mxUINT32_CLASS, {1, 1}, {2147483777.0}, {}},
        {"logical([0 2])", mxLOGICAL_CLASS, {1, 2}, {0, 1}, {}},
        {"'AB'", mxCHAR_CLASS, {1, 2}, {65, 66}, {}},
        {"complex(single(1), single(-0))", mxSINGLE_CLASS, {1, 1}, {1}, {-0.0}},
        {"complex([1 2])", mxDOUBLE_CLASS, {1, 2}, {1, 2}, {0, 0}},
        {"zeros(2,0)", mxDOUBLE_CLASS, {2, 0}, {}, {}},
        {"single(reshape(1:24, 2, 3, 4))", mxSINGLE_CLASS, {2, 3, 4}, {}, {}},
        {"1:2:7", mxDOUBLE_CLASS, {1, 4}, {1, 3, 5, 7}, {}},
        {"{}", mxCELL_CLASS, {0, 0}, {}, {}},
        {"struct()", mxSTRUCT_CLASS, {1, 1}, {}, {}},
        {"0x7FC00001", mxUINT32_CLASS, {1, 1}, {2143289345.0}, {}},
        {"0xFFs8", mxINT8_CLASS, {1, 1}, {-1}, {}},
    };
    for (const ParseCase& c : cases) {
        const Array a = arg(c.expression);
        EXPECT_EQ(mxGetClassID(a.get()), c.classId) << c.expression;
        EXPECT_EQ(dimensionsOf(a.get()), c.dims) << c.expression;
        EXPECT_EQ(mxIsComplex(a.get()), !c.im.empty()) << c.expression;
        if (!c.re.empty()) {
            const Array asDouble = [&] {
                const CallResult r = call("test/probe_callback", 1, {arg("'double'").get(), a.get()});
                return r.failed ? Array() : Array(mxDuplicateArray(r.outputs[0].get()));
            }();
            ASSERT_NE(asDouble, nullptr) << c.expression;
            const auto re = realPart<double>(asDouble.get());
            for (std::size_t i = 0; i < c.re.size(); ++i)
                EXPECT_EQ(bitsOf(re[i]), bitsOf(c.re[i])) << c.expression << " element " << i;
            const auto im = imagPart<double>(asDouble.get());
            for (std::size_t i = 0; i < c.im.size(); ++i)
                EXPECT_EQ(bitsOf(im[i]), bitsOf(c.im[i])) << c.expression << " imaginary " << i;
        }
    }
}

TEST(Parse, BitPatternsPassThroughUnchanged)
{
    // A signalling NaN with its payload, and -0, exactly as written.
    const Array snan = arg("typecast(0x7F800001, 'single')");
    EXPECT_EQ(bitsOf(realPart<float>(snan.get())[0]), 0x7F800001u);
    const Array negativeZero = arg("single(-0)");
    EXPECT_EQ(bitsOf(realPart<float>(negativeZero.get())[0]), 0x80000000u);
    const Array tiny = arg("single([1e-40 -1e-40])");
    EXPECT_EQ(bitsOf(realPart<float>(tiny.get())[0]), bitsOf(1e-40f));
    const Array wide = arg("typecast(0x3FF0000000000000, 'double')");
    EXPECT_EQ(realPart<double>(wide.get())[0], 1.0);
}

TEST(Parse, BadExpressionsAreRejectedByName)
{
    for (const char* bad : {"[1 2", "single(", "foo(1)", "1 +", "'open", "0x", "[1 2; 3]", "typecast(int8([1 2 3]), 'single')",
                            "reshape(1:5, 2, 2)", "@x"}) {
        try {
            arg(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find(bad), std::string::npos) << error.what();
        }
    }
}

// Random token soup: every string either parses or is rejected with a
// message; none crashes or exhausts memory.
TEST(Parse, ArbitraryTextNeverCrashes)
{
    const char* tokens[] = {"[", "]", "(", ")", "{", "}", "'", ",", ";", " ", "-", "+", "*", "/", "^", ":", "1",
                            "0x", "FF", "e", "i", "NaN", "Inf", "single", "int8", "complex", "zeros", "reshape",
                            "typecast", "sparse", "1e9", "'single'", "2.5", "struct", "cell"};
    std::uint64_t state = 12345;
    for (int trial = 0; trial < 20000; ++trial) {
        std::string text;
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const int length = 1 + static_cast<int>((state >> 33) % 12);
        for (int k = 0; k < length; ++k) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            text += tokens[(state >> 33) % (sizeof tokens / sizeof *tokens)];
        }
        try {
            arg(text);
        } catch (const std::invalid_argument&) {
        }
    }
    EXPECT_THROW(arg(std::string(5000, '(') + "1" + std::string(5000, ')')), std::invalid_argument);
    EXPECT_THROW(arg("zeros(1e6)"), std::invalid_argument);
    EXPECT_THROW(arg("1:1e12"), std::invalid_argument);
}

TEST(Display, ShowsClassSizeAndShortestDigits)
{
    EXPECT_EQ(runner::display("ans", arg("single(pi)").get(), false), "ans =\n\n  single\n\n    3.1415927\n\n");
    EXPECT_EQ(runner::display("ans", arg("single(pi)").get(), true), "ans =\n\n  single\n\n    40490fdb\n\n");
    EXPECT_EQ(runner::display("ans", arg("[1 2.5]").get(), false), "ans =\n\n      1   2.5\n\n");
    EXPECT_EQ(runner::display("ans", arg("single(zeros(0,3))").get(), false),
              "ans =\n\n  0x3 empty single matrix\n\n");
    EXPECT_EQ(runner::display("x", arg("logical([1 0])").get(), false),
              "x =\n\n  1x2 logical row vector\n\n    1   0\n\n");
    EXPECT_EQ(runner::display("z", arg("complex(single(2), single(-0.5))").get(), false),
              "z =\n\n  complex single\n\n    2 - 0.5i\n\n");
}

} // namespace
} // namespace fpmex::test
