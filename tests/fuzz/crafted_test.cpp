// One crafted call for each class of bad input the fuzzer generates, with
// the outcome the deliverables document: sparse operands, cells, 64-bit
// integers, signalling NaNs, sizes at and beyond 2^31, and buffers off
// their natural alignment. The host checks (guard zones, inputs, floating-
// point state, leaks) run on every call. Last, the fuzzer's own checks are
// shown to catch a deliverable that misbehaves.
#include "fuzz_call.h"
#include "mex_test.h"

#include "fpmex_deliverables.h"

#include <cmath>
#include <cstdint>

namespace fpmex::test {
namespace {

struct Refusal {
    const char* deliverable;
    std::vector<const char*> inputs;
    const char* message;
};

TEST(Crafted, BadInputClassesEndWithTheDocumentedMessage)
{
    const Refusal cases[] = {
        {"single/plus", {"single(1)", "sparse(2)"}, "Sparse operands are not supported."},
        {"single/lt", {"sparse(2)", "single(1)"}, "Sparse operands are not supported."},
        {"double/sqrt", {"sparse(4)"}, "Argument must be a full double array."},
        {"single/floor", {"sparse(single(4))"}, "Argument must be a full single array."},
        {"single/plus", {"{1}", "single(1)"}, "Wrong data type."},
        {"single/log", {"{single(1)}"}, "Argument must be a full single array."},
        {"single/ones", {"{2}"}, "Conversion to double from cell is not possible."},
        {"single/prod", {"single([1 2])", "{1}"}, "Conversion to double from cell is not possible."},
        {"single/plus", {"int64(5)", "single(1)"}, "Wrong data type."},
        {"single/lt", {"single(1)", "uint64(5)"}, "Wrong data type."},
        {"double/round", {"int64(5)"}, "Argument must be a full double array."},
        {"single/log2", {"struct()"}, "Argument must be a full single array."},
        {"single/ones", {"2147483648"}, "Size vector elements must be less than 2^31."},
    };
    for (const Refusal& c : cases) {
        std::vector<Array> owned;
        std::vector<const mxArray*> inputs;
        for (const char* expression : c.inputs) {
            owned.push_back(arg(expression));
            inputs.push_back(owned.back().get());
        }
        const CallResult r = call(c.deliverable, 1, inputs);
        const std::string name = std::string(c.deliverable).substr(std::string(c.deliverable).find('/') + 1);
        const bool unary = inputs.size() == 1 && name != "ones";
        EXPECT_TRUE(r.failed) << c.deliverable << " " << c.inputs[0];
        EXPECT_EQ(r.error, unary ? unservedAnswer(name, 1, c.message) : c.message) << c.deliverable << " " << c.inputs[0];
    }
}

TEST(Crafted, SizesBeyondMemoryEndWithTheHostsOutOfMemoryError)
{
    // 2^62 elements, and a product that wraps 64 bits.
    for (const std::vector<const char*>& sizes : std::vector<std::vector<const char*>>{
             {"2147483647", "2147483647"}, {"[2147483647 2147483647]"}, {"2147483647", "2147483647", "2147483647"}}) {
        std::vector<Array> owned;
        std::vector<const mxArray*> inputs;
        for (const char* size : sizes) {
            owned.push_back(arg(size));
            inputs.push_back(owned.back().get());
        }
        const CallResult r = call("single/ones", 1, inputs);
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(r.error.rfind("Out of memory: ", 0), 0u) << r.error;
    }
}

TEST(Crafted, EmptyInputsWithSizesBeyond32BitsKeepTheirSizes)
{
    if constexpr (sizeof(mwSize) < 8)
        GTEST_SKIP() << "sizes beyond 32 bits need a 64-bit mwSize";
    const std::uint64_t two32 = std::uint64_t(1) << 32;
    const std::vector<mwSize> shapes[] = {{mwSize(1) << 31, 0}, {0, mwSize(two32)}, {3, 0, mwSize(two32 - 1)}};
    for (const auto& dims : shapes) {
        const Array single = makeSingle({}, {}, dims);
        const Array dbl = makeDouble({}, {}, dims);
        for (const auto& [name, input] : {std::pair{"single/log2", single.get()}, std::pair{"double/exp", dbl.get()},
                                          std::pair{"single/floor", single.get()}}) {
            const CallResult r = call(name, 1, {input});
            ASSERT_FALSE(r.failed) << name << ": " << r.error;
            EXPECT_EQ(dimensionsOf(r.outputs[0].get()), dims) << name;
            EXPECT_EQ(mxGetData(r.outputs[0].get()), nullptr) << name;
        }
    }
    // Several size arguments: 2^31 and more count as 0.
    const Array huge = arg("2147483648"), three = arg("3");
    const CallResult r = call("single/ones", 1, {huge.get(), three.get()});
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_EQ(dimensionsOf(r.outputs[0].get()), (std::vector<mwSize>{0, 3}));
}

// A signalling NaN is computed on like any NaN: the result is the quiet NaN
// with the same payload, and no exception escapes to the caller. (The
// logarithms and sqrt treat a NaN with the sign bit set as negative, so
// these are positive.)
TEST(Crafted, SignallingNaNsComeBackQuiet)
{
    const Array s = arg("[typecast(uint32(0x7F800001), 'single') typecast(uint32(0x7FA00000), 'single')]");
    const Array d = arg("[typecast(uint64(0x7FF0000000000001), 'double') typecast(uint64(0x7FF4000000000000), 'double')]");
    const Array zero = arg("single([0 0])");
    const Array one = arg("single(1)");
    const std::uint32_t quietS[] = {0x7FC00001, 0x7FE00000};
    const std::uint64_t quietD[] = {0x7FF8000000000001, 0x7FFC000000000000};
    for (const char* name : {"single/log2", "single/log", "single/log10", "single/exp", "single/floor"}) {
        const CallResult r = call(name, 1, {s.get()});
        ASSERT_FALSE(r.failed) << name << ": " << r.error;
        const auto re = realPart<float>(r.outputs[0].get());
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(bitsOf(re[i]), quietS[i]) << name << " element " << i;
    }
    for (const char* name : {"double/log2", "double/log10", "double/exp", "double/sqrt", "double/round"}) {
        const CallResult r = call(name, 1, {d.get()});
        ASSERT_FALSE(r.failed) << name << ": " << r.error;
        const auto re = realPart<double>(r.outputs[0].get());
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(bitsOf(re[i]), quietD[i]) << name << " element " << i;
    }
    CallResult r = call("single/plus", 1, {s.get(), zero.get()});
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_EQ(bitsOf(realPart<float>(r.outputs[0].get())[0]), quietS[0]);
    r = call("single/prod", 1, {s.get()});
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_TRUE(std::isnan(realPart<float>(r.outputs[0].get())[0]));
    EXPECT_NE(bitsOf(realPart<float>(r.outputs[0].get())[0]) & 0x00400000u, 0u);
    r = call("single/lt", 1, {s.get(), one.get()});
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_EQ(realPart<std::uint8_t>(r.outputs[0].get()), (std::vector<std::uint8_t>{0, 0}));
}

// Inputs at every offset their element alignment allows, and output buffers
// 8 bytes off a 16-byte boundary: the SSE kernels take the unaligned path,
// nothing is read or written outside the buffers, and the results are those
// of aligned buffers.
TEST(Crafted, BuffersOffTheirAlignmentGiveTheAlignedResults)
{
    struct OffsetsReset {
        ~OffsetsReset()
        {
            host::setMallocOffset(0);
            host::setInputOffset(0);
        }
    } reset;
    host::setMallocOffset(8);
    for (std::size_t offset : {4, 8, 12}) {
        host::setInputOffset(offset);
        const Array x = arg("single(1:9)");
        const Array half = arg("single(0.5)");
        host::setInputOffset(offset & 8);
        const Array d = arg("[0 1 -1 0.5]");
        host::setInputOffset(0);
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(mxGetData(x.get())) % 16, offset);

        CallResult r = call("single/plus", 1, {x.get(), half.get()});
        ASSERT_FALSE(r.failed) << r.error;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(mxGetData(r.outputs[0].get())) % 16, 8u);
        const auto sums = realPart<float>(r.outputs[0].get());
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(sums[i], i + 1.5f) << "offset " << offset;

        r = call("single/lt", 1, {half.get(), x.get()});
        ASSERT_FALSE(r.failed) << r.error;
        EXPECT_EQ(realPart<std::uint8_t>(r.outputs[0].get()), std::vector<std::uint8_t>(9, 1));

        r = call("double/exp", 1, {d.get()});
        ASSERT_FALSE(r.failed) << r.error;
        EXPECT_EQ(realPart<double>(r.outputs[0].get()), (std::vector<double>{1, std::exp(1.0), std::exp(-1.0), std::exp(0.5)}));
    }
    const Array m = arg("3"), n = arg("5");
    const CallResult r = call("single/ones", 1, {m.get(), n.get()});
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(mxGetData(r.outputs[0].get())) % 16, 8u);
    EXPECT_EQ(realPart<float>(r.outputs[0].get()), std::vector<float>(15, 1.0f));
}

// The fuzzer's checks are not vacuous: a deliverable that breaks a rule is
// reported, under the default modes and under a caller's.
TEST(FuzzChecks, ReportADeliverableThatBreaksARule)
{
    const fuzz::Deliverable probe{"test/probe_misbehave", "probe_misbehave", deliverable("test/probe_misbehave")};
    const struct {
        double fault;
        const char* report;
    } cases[] = {
        {0, ""},
        {3, "input 1 was modified"},
        {4, "x87 control word changed"},
        {5, "MXCSR control bits changed"},
        {6, "x87 register stack not empty"},
        {7, "beyond the requested outputs"},
    };
    for (const auto& c : cases) {
        fuzz::FuzzCall call;
        call.target = &probe;
        call.nlhs = 1;
        call.mode = {0x0F7F, 0x7F80};
        call.inputs.push_back(makeDouble({c.fault}));
        const std::string report = fuzz::runAndCheck(call);
        if (*c.report == '\0')
            EXPECT_EQ(report, "");
        else
            EXPECT_NE(report.find(c.report), std::string::npos) << c.fault << ": " << report;
    }
}

} // namespace
} // namespace fpmex::test
