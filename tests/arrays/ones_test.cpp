// ones through the embedded host: the ways of reading sizes, their messages
// and the array of ones that results.
#include "mex_test.h"

#include <string>
#include <vector>

namespace fpmex::test {
namespace {

constexpr std::uint32_t oneBits = 0x3F800000;

// Checks a successful result: a real single array of these sizes, all ones.
void expectOnes(const CallResult& r, const std::vector<mwSize>& dims, const std::string& what)
{
    ASSERT_FALSE(r.failed) << what << ": " << r.error;
    const mxArray* out = r.outputs.at(0).get();
    ASSERT_NE(out, nullptr) << what;
    EXPECT_EQ(mxGetClassID(out), mxSINGLE_CLASS) << what;
    EXPECT_FALSE(mxIsComplex(out)) << what;
    EXPECT_EQ(dimensionsOf(out), dims) << what;
    if (mxGetNumberOfElements(out) == 0) {
        EXPECT_EQ(mxGetData(out), nullptr) << what << ": an empty result has no data";
        return;
    }
    for (float v : realPart<float>(out))
        ASSERT_EQ(bitsOf(v), oneBits) << what;
}

// ones called with its arguments written as expressions.
CallResult callOnes(const std::vector<std::string>& expressions)
{
    std::vector<Array> args;
    std::vector<const mxArray*> inputs;
    for (const std::string& e : expressions) {
        args.push_back(arg(e));
        inputs.push_back(args.back().get());
    }
    return call("single/ones", 1, inputs);
}

struct OnesCase {
    std::vector<std::string> args;
    std::vector<mwSize> dims;
    int warnings;
};

const OnesCase onesCases[] = {
    // One size argument.
    {{"single(3)"}, {3, 3}, 0},
    {{"single([2 3 4])"}, {2, 3, 4}, 0},
    {{"single([])"}, {1, 1}, 0}, // an empty size vector gives one element
    {{"single(zeros(1,0))"}, {1, 1}, 0},
    {{"single([2.9 3])"}, {2, 3}, 0},   // fractions dropped, no complaint
    {{"single([2.5 -1])"}, {2, 0}, 0},  // negative size: empty
    {{"single(-2)"}, {0, 0}, 0},
    {{"single(NaN)"}, {0, 0}, 0},
    {{"single(1e-40)"}, {0, 0}, 0},
    {{"single(0)"}, {0, 0}, 0},
    {{"complex(single(2), single(5))"}, {2, 2}, 0}, // the real part counts
    // Other classes are read by value, not as single bits.
    {{"3"}, {3, 3}, 0},
    {{"[2.9 3]"}, {2, 3}, 0},
    {{"int8([2 3])"}, {2, 3}, 0},
    {{"uint16(4)"}, {4, 4}, 0},
    {{"true"}, {1, 1}, 0},
    {{"logical([1 0])"}, {1, 0}, 0},
    // One size per argument.
    {{"single(2)", "single(3)"}, {2, 3}, 0},
    {{"2", "int16(3)"}, {2, 3}, 0},
    {{"uint8(2)", "single(3)", "int32(4)"}, {2, 3, 4}, 0},
    {{"single(2)", "single(3)", "single(1)"}, {2, 3}, 0}, // trailing 1 dropped by the host
    {{"true", "single(2)"}, {1, 2}, 0},
    {{"single(2.9)", "-0.5"}, {2, 0}, 0},
    {{"single([2 3])", "single(4)"}, {2, 4}, 1},
    {{"single(2)", "single([])"}, {2, 0}, 1},
    {{"single([])", "zeros(1,0)", "single(2)"}, {0, 0, 2}, 2},
    {{"single(2)", "-1"}, {2, 0}, 0},
    {{"single(2)", "NaN"}, {2, 0}, 0},
    {{"single(2)", "Inf"}, {2, 0}, 0},   // out of range as a separate argument: size 0
    {{"single(2)", "3e9"}, {2, 0}, 0},
    {{"int8(-3)", "single(2)"}, {0, 2}, 0},
    {{"'a'", "0"}, {97, 0}, 0},
};

TEST(Ones, SizesFromEveryKindOfArgument)
{
    for (const OnesCase& c : onesCases) {
        std::string what = "ones(";
        std::vector<Array> args;
        std::vector<const mxArray*> inputs;
        for (const std::string& a : c.args) {
            what += (args.empty() ? "" : ", ") + a;
            args.push_back(arg(a));
            inputs.push_back(args.back().get());
        }
        what += ")";
        const CallResult r = call("single/ones", 1, inputs);
        expectOnes(r, c.dims, what);
        EXPECT_EQ(r.warnings, std::vector<std::string>(c.warnings, "Input arguments must be scalar.")) << what;
    }
}

TEST(Ones, Errors)
{
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"single([2; 3])"}, "Size vector must be a row vector with integer elements."},
        {{"single([1 2; 3 4])"}, "Size vector must be a row vector with integer elements."},
        {{"[2; 3]"}, "Size vector must be a row vector with integer elements."},
        {{"single([2 3e9])"}, "Size vector elements must be less than 2^31."},
        {{"single(Inf)"}, "Size vector elements must be less than 2^31."},
        {{"2147483648"}, "Size vector elements must be less than 2^31."},
        {{"{2, 3}"}, nullptr}, // "double" cannot convert a cell: its own error
    };
    for (const auto& c : cases) {
        const CallResult r = callOnes(c.args);
        EXPECT_TRUE(r.failed) << c.args[0];
        if (c.message != nullptr) {
            EXPECT_EQ(r.error, c.message) << c.args[0];
        }
    }
}

// Sizes whose product does not fit in memory, or not even in the address
// space, end in the host's out-of-memory error, never in a wrapped count. The
// byte count in the message shows which sizes arrived: the full values of
// double arguments, and the largest request for a product beyond size_t.
TEST(Ones, ProductsTooLargeForMemory)
{
    const std::string beyondAddressSpace = std::to_string(SIZE_MAX);
    const bool wide = sizeof(std::size_t) == 8; // else every case is beyond a 32-bit address space
    const struct {
        std::vector<std::string> args;
        std::string bytes;
    } cases[] = {
        {{"16777217"}, wide ? "1125900041060356" : beyondAddressSpace}, // 16777217^2 * 4, not 16777216^2 * 4
        {{"2147483647", "2147483647.5"}, wide ? "18446744056529682436" : beyondAddressSpace},
        {{"single(2)", "2147483647", "2147483647"}, beyondAddressSpace},
        {{"single([2147483520 2147483520 2147483520])"}, beyondAddressSpace},
        {{"single(65536)", "single(65536)", "single(65536)", "single(65536)"}, beyondAddressSpace},
    };
    for (const auto& c : cases) {
        std::vector<Array> arrays;
        std::vector<const mxArray*> inputs;
        for (const std::string& a : c.args) {
            arrays.push_back(arg(a));
            inputs.push_back(arrays.back().get());
        }
        const CallResult r = call("single/ones", 1, inputs);
        EXPECT_TRUE(r.failed) << c.args[0];
        EXPECT_EQ(r.error.rfind("Out of memory", 0), 0u) << c.args[0] << ": " << r.error;
        EXPECT_NE(r.error.find(" " + c.bytes + " bytes"), std::string::npos) << c.args[0] << ": " << r.error;
    }
    // A zero size among huge ones is simply empty.
    const Array huge = arg("single([2147483520 2147483520 2147483520 0])");
    expectOnes(call("single/ones", 1, {huge.get()}), {2147483520, 2147483520, 2147483520, 0}, "huge with 0");
}

TEST(Ones, FillAtBothHostAlignments)
{
    for (std::size_t offset : {0u, 8u}) {
        host::setMallocOffset(offset);
        for (int n = 1; n <= 9; ++n) {
            const Array size = makeSingle({1.0f, static_cast<float>(n)});
            expectOnes(call("single/ones", 1, {size.get()}), {1, mwSize(n)}, "offset " + std::to_string(offset));
        }
        const Array large = makeSingle({1001.0f, 1003.0f});
        expectOnes(call("single/ones", 1, {large.get()}), {1001, 1003}, "large, offset " + std::to_string(offset));
    }
    host::setMallocOffset(0);
}

// The host's own ones answers its options, never read as sizes: the whole
// call goes to it, which the embedded host, having no ones, refuses with the
// count of arguments it was given. A sparse size vector is refused where the
// host converts it, not read past its nonzero elements.
TEST(Ones, OptionsGoToTheHostsOnes)
{
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"single(2)", "'like'", "single(1)"}, "does not provide ones with 3 input(s)"},
        {{"single(2)", "'Single'"}, "does not provide ones with 2 input(s)"},
        {{"2", "3", "'int8'"}, "does not provide ones with 3 input(s)"},
        {{"single([2 3])", "'LOGICAL'"}, "does not provide ones with 2 input(s)"},
        {{"'double'"}, "does not provide ones with 1 input(s)"},
        {{"sparse(single([2 0 3]))"}, unservedAnswer("ones", 1, "The embedded host does not convert sparse arrays.")},
    };
    for (const auto& c : cases) {
        const CallResult r = callOnes(c.args);
        EXPECT_TRUE(r.failed) << c.args[0];
        EXPECT_NE(r.error.find(c.error), std::string::npos) << c.args[0] << ": " << r.error;
        EXPECT_TRUE(r.warnings.empty()) << c.args[0];
    }
}

TEST(Ones, Frame)
{
    const Array three = arg("single(3)");
    const CallResult banner = call("single/ones", 1, {});
    EXPECT_FALSE(banner.failed);
    EXPECT_NE(banner.printed.find("\nOnes array.\n\n\t"), std::string::npos) << banner.printed;
    EXPECT_EQ(banner.outputs.at(0), nullptr);

    const CallResult two = call("single/ones", 2, {three.get()});
    EXPECT_TRUE(two.failed);
    EXPECT_EQ(two.error, "Too many output arguments.");

    expectOnes(call("single/ones", 0, {three.get()}), {3, 3}, "nlhs 0");
}

} // namespace
} // namespace fpmex::test
