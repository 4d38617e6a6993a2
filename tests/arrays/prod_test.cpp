// prod through the embedded host: the reduced dimension, the copy cases,
// the dimension argument, complex inputs, the fall-back for other classes
// and the output as the only allocation.
#include "mex_test.h"
#include "random_factors.h"

#include <cmath>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace fpmex::test {
namespace {

const char* const dimensionMessage = "Dimension argument must be a positive integer scalar.";

std::size_t product(const std::vector<mwSize>& dims, std::size_t from, std::size_t to)
{
    std::size_t p = 1;
    for (std::size_t i = from; i < to; ++i)
        p *= dims[i];
    return p;
}

// Products along dimension d in long double, factor 0 first, rounded once.
std::vector<float> referenceProd(const std::vector<float>& x, const std::vector<mwSize>& dims, std::size_t d)
{
    const std::size_t slab = product(dims, 0, d);
    const std::size_t length = dims[d];
    const std::size_t outer = product(dims, d + 1, dims.size());
    std::vector<float> out(slab * outer);
    for (std::size_t o = 0; o < outer; ++o)
        for (std::size_t i = 0; i < slab; ++i) {
            long double acc = x[o * slab * length + i];
            for (std::size_t k = 1; k < length; ++k)
                acc *= x[o * slab * length + k * slab + i];
            out[o * slab + i] = static_cast<float>(acc);
        }
    return out;
}

std::vector<mwSize> reducedDims(std::vector<mwSize> dims, std::size_t d)
{
    dims[d] = 1;
    while (dims.size() > 2 && dims.back() == 1)
        dims.pop_back();
    return dims;
}

void expectBits(const std::vector<float>& actual, const std::vector<float>& expected, const std::string& what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(bitsOf(actual[i]), bitsOf(expected[i])) << what << ", element " << i;
}

// Checks that the result is a single array with x's class, sizes, and data.
void expectCopy(const CallResult& r, const mxArray* x, const std::string& what)
{
    ASSERT_FALSE(r.failed) << what << ": " << r.error;
    const mxArray* out = r.outputs.at(0).get();
    EXPECT_EQ(mxGetClassID(out), mxGetClassID(x)) << what;
    EXPECT_EQ(dimensionsOf(out), dimensionsOf(x)) << what;
    EXPECT_EQ(mxIsComplex(out), mxIsComplex(x)) << what;
    expectBits(realPart<float>(out), realPart<float>(x), what);
}

TEST(Prod, ThreeByFourAlongEachDimension)
{
    std::vector<float> values(12);
    std::iota(values.begin(), values.end(), 1.0f);
    const Array x = makeSingle(values, {}, {3, 4});
    const Array one = arg("1");

    const CallResult columns = call("single/prod", 1, {x.get()});
    ASSERT_FALSE(columns.failed) << columns.error;
    EXPECT_EQ(dimensionsOf(columns.outputs[0].get()), (std::vector<mwSize>{1, 4}));
    EXPECT_EQ(realPart<float>(columns.outputs[0].get()), (std::vector<float>{6, 120, 504, 1320}));
    const CallResult alongOne = call("single/prod", 1, {x.get(), one.get()});
    EXPECT_EQ(realPart<float>(alongOne.outputs.at(0).get()), (std::vector<float>{6, 120, 504, 1320}));

    const Array two = arg("single(2)");
    const CallResult rows = call("single/prod", 1, {x.get(), two.get()});
    ASSERT_FALSE(rows.failed) << rows.error;
    EXPECT_EQ(dimensionsOf(rows.outputs[0].get()), (std::vector<mwSize>{3, 1}));
    EXPECT_EQ(realPart<float>(rows.outputs[0].get()), (std::vector<float>{280, 880, 1944}));

    for (const char* dim : {"3", "7", "2147483647"}) {
        const Array g = arg(dim);
        expectCopy(call("single/prod", 1, {x.get(), g.get()}), x.get(), std::string("prod(x, ") + dim + ")");
    }
}

// One-argument form: the first dimension longer than 1, or a copy.
TEST(Prod, ReducedDimensionOrCopy)
{
    const struct {
        const char* x;
        std::vector<mwSize> dims; // empty: a copy of x
        std::vector<float> values;
    } cases[] = {
        {"single([1 2 3 4])", {1, 1}, {24}},
        {"single([2; 3; 4])", {1, 1}, {24}},
        {"single(5)", {}, {}},
        {"single([])", {}, {}},
        {"single(zeros(1,0))", {}, {}},
        {"single(zeros(0,1))", {}, {}},
        {"single(zeros(0,3))", {0, 1}, {}}, // dimension 2 is the first longer than 1
        {"single(zeros(1,3,0))", {1, 1, 0}, {}},
        {"complex(single(3), single(0))", {}, {}},
    };
    for (const auto& c : cases) {
        const Array x = arg(c.x);
        const CallResult r = call("single/prod", 1, {x.get()});
        if (c.dims.empty()) {
            expectCopy(r, x.get(), c.x);
            continue;
        }
        ASSERT_FALSE(r.failed) << c.x << ": " << r.error;
        const mxArray* out = r.outputs.at(0).get();
        EXPECT_EQ(mxGetClassID(out), mxSINGLE_CLASS) << c.x;
        EXPECT_EQ(dimensionsOf(out), c.dims) << c.x;
        EXPECT_EQ(realPart<float>(out), c.values) << c.x;
        if (c.values.empty()) {
            EXPECT_EQ(mxGetData(out), nullptr) << c.x << ": an empty result has no data";
        }
    }
    // prod(x, 2) of a 2-by-0 array: dimension 2 has size 0, a copy.
    const Array empty = arg("single(zeros(2,0))");
    const Array two = arg("2");
    expectCopy(call("single/prod", 1, {empty.get(), two.get()}), empty.get(), "prod(zeros(2,0), 2)");
}

// Every layout the kernels see: runs (reduced dimension first), strided
// columns of 1 to 15 with one or several outer blocks, each product checked
// against the long double reference; the output is the only allocation.
TEST(Prod, EveryProductAgainstTheReference)
{
    const std::vector<std::vector<mwSize>> shapes = {
        {11, 6}, {3, 11}, {1, 1, 5}, {2, 3, 4}, {15, 3, 2}, {7, 5, 3}, {13, 2, 2, 2}, {4, 9},
    };
    unsigned seed = 1;
    for (const auto& dims : shapes)
        for (std::size_t d = 0; d < dims.size(); ++d) {
            if (dims[d] < 2)
                continue;
            const std::vector<float> values = randomFactors(product(dims, 0, dims.size()), seed++);
            host::setInputOffset(seed % 2 == 0 ? 4 : 0);
            const Array x = makeSingle(values, {}, dims);
            host::setInputOffset(0);
            const Array dim = makeDouble({double(d + 1)});
            const CallResult r = call("single/prod", 1, {x.get(), dim.get()});
            const std::string what = "shape " + std::to_string(dims[0]) + "x" + std::to_string(dims[1]) + "..., dim " +
                                     std::to_string(d + 1);
            ASSERT_FALSE(r.failed) << what << ": " << r.error;
            const mxArray* out = r.outputs.at(0).get();
            EXPECT_EQ(dimensionsOf(out), reducedDims(dims, d)) << what;
            expectBits(realPart<float>(out), referenceProd(values, dims, d), what);
            EXPECT_EQ(r.stats.blocks, 1u) << what << ": a buffer besides the output";
            EXPECT_EQ(r.stats.bytes, 4 * mxGetNumberOfElements(out)) << what;
        }
}

TEST(Prod, ComplexStaysComplex)
{
    // Small integers: every product is exact, whatever the order.
    const Array x = makeSingle({1, 2, 3, 4, 5, 6}, {0, 1, -1, 2, 0, -2}, {2, 3});
    const CallResult columns = call("single/prod", 1, {x.get()});
    ASSERT_FALSE(columns.failed) << columns.error;
    const mxArray* out = columns.outputs[0].get();
    EXPECT_EQ(dimensionsOf(out), (std::vector<mwSize>{1, 3}));
    // (1+0i)(2+i), (3-i)(4+2i), (5+0i)(6-2i)
    EXPECT_EQ(realPart<float>(out), (std::vector<float>{2, 14, 30}));
    EXPECT_EQ(imagPart<float>(out), (std::vector<float>{1, 2, -10}));
    EXPECT_EQ(columns.stats.blocks, 2u) << "buffers besides the output";

    const Array two = arg("2");
    const CallResult rows = call("single/prod", 1, {x.get(), two.get()});
    ASSERT_FALSE(rows.failed) << rows.error;
    // (1)(3-i)(5) and (2+i)(4+2i)(6-2i)
    EXPECT_EQ(realPart<float>(rows.outputs[0].get()), (std::vector<float>{15, 52}));
    EXPECT_EQ(imagPart<float>(rows.outputs[0].get()), (std::vector<float>{-5, 36}));

    const Array zeroIm = arg("complex(single([1 2; 3 4]), single([0 0; 0 0]))");
    for (const Array* dim : {static_cast<const Array*>(nullptr), &two}) {
        const CallResult r = dim ? call("single/prod", 1, {zeroIm.get(), dim->get()})
                                 : call("single/prod", 1, {zeroIm.get()});
        ASSERT_FALSE(r.failed) << r.error;
        EXPECT_TRUE(mxIsComplex(r.outputs[0].get()));
        for (float v : imagPart<float>(r.outputs[0].get()))
            EXPECT_EQ(bitsOf(v), 0u);
    }
}

TEST(Prod, SpecialValues)
{
    const struct {
        const char* x;
        std::uint32_t bits;
    } cases[] = {
        {"single([1e30 1e30 1e-30 1e-30 4])", 0x40800000}, // out of range only on the way
        {"single([1e30 1e30 1e30])", 0x7F800000},
        {"single([-1e30 1e30 1e30])", 0xFF800000},
        {"single([-1 0])", 0x80000000},
        {"single([1e-30 1e-15])", 0x00000001},
    };
    for (const auto& c : cases) {
        const Array x = arg(c.x);
        const CallResult r = call("single/prod", 1, {x.get()});
        ASSERT_FALSE(r.failed) << c.x << ": " << r.error;
        EXPECT_EQ(bitsOf(realPart<float>(r.outputs[0].get()).at(0)), c.bits) << c.x;
    }
    const Array zeroInf = arg("single([2 0 Inf])");
    EXPECT_TRUE(std::isnan(realPart<float>(call("single/prod", 1, {zeroInf.get()}).outputs[0].get()).at(0)));
}

TEST(Prod, DimensionArgument)
{
    const Array x = makeSingle({1, 2, 3, 4, 5, 6}, {}, {2, 3});
    const std::vector<float> columns = {2, 12, 30};
    const std::vector<float> rows = {15, 48};
    const struct {
        const char* dim;
        const std::vector<float>* expected; // null: the dimension message
    } cases[] = {
        {"1.9", &columns},
        {"single(2.7)", &rows},
        {"int8(2)", &rows},
        {"true", &columns},         // logical: through "double"
        {"logical(2)", &columns},
        {"0.5", nullptr},
        {"0", nullptr},
        {"-1", nullptr},
        {"NaN", nullptr},
        {"Inf", nullptr},
        {"-Inf", nullptr},
        {"3e9", nullptr},
        {"[1 2]", nullptr},
        {"[]", nullptr},
        {"logical([1 1])", nullptr},
        {"1+2i", nullptr},
        {"complex(1, 0)", nullptr},
    };
    for (const auto& c : cases) {
        const Array dim = arg(c.dim);
        const CallResult r = call("single/prod", 1, {x.get(), dim.get()});
        if (c.expected == nullptr) {
            EXPECT_TRUE(r.failed) << c.dim;
            EXPECT_EQ(r.error, dimensionMessage) << c.dim;
            continue;
        }
        ASSERT_FALSE(r.failed) << c.dim << ": " << r.error;
        EXPECT_EQ(realPart<float>(r.outputs[0].get()), *c.expected) << c.dim;
    }
    // A character is taken by its code: 'a' is dimension 97, beyond x's.
    const Array a = arg("'a'");
    expectCopy(call("single/prod", 1, {x.get(), a.get()}), x.get(), "prod(x, 'a')");
    // What "double" cannot convert fails inside the conversion.
    const Array cell = arg("{}");
    const CallResult r = call("single/prod", 1, {x.get(), cell.get()});
    EXPECT_TRUE(r.failed);
    EXPECT_NE(r.error, dimensionMessage);
}

// prod(d, k) with d not single hands the work to the host's own prod, with
// k as a double scalar; so does prod(d).
TEST(Prod, OtherClassesGoToTheHostsProd)
{
    const Array d = makeDouble({1, 2, 3, 4, 5, 6}, {}, {2, 3});
    const Array two = arg("single(2)");
    const CallResult r = call("single/prod", 1, {d.get(), two.get()});
    ASSERT_FALSE(r.failed) << r.error;
    const mxArray* out = r.outputs.at(0).get();
    EXPECT_EQ(mxGetClassID(out), mxDOUBLE_CLASS);
    EXPECT_EQ(dimensionsOf(out), (std::vector<mwSize>{2, 1}));
    EXPECT_EQ(realPart<double>(out), (std::vector<double>{15, 48}));

    // prod(d) too: single data only is read as single.
    const CallResult columns = call("single/prod", 1, {d.get()});
    ASSERT_FALSE(columns.failed) << columns.error;
    EXPECT_EQ(mxGetClassID(columns.outputs[0].get()), mxDOUBLE_CLASS);
    EXPECT_EQ(realPart<double>(columns.outputs[0].get()), (std::vector<double>{2, 12, 30}));

    // The dimension is passed on unchecked: the host's prod judges it.
    const Array half = arg("single(0.5)");
    const CallResult bad = call("single/prod", 1, {d.get(), half.get()});
    EXPECT_TRUE(bad.failed);
    EXPECT_NE(bad.error, dimensionMessage);
}

// An output type goes to the host's own prod with the whole call, whatever
// the count of arguments; it is never read as a dimension. The embedded
// host computes prod of double arrays only, with or without one.
TEST(Prod, OutputTypesGoToTheHostsProd)
{
    const Array d = makeDouble({1, 2, 3, 4, 5, 6}, {}, {2, 3});
    const Array x = makeSingle({1, 2, 3, 4, 5, 6}, {}, {2, 3});
    const Array native = arg("'native'");
    const Array two = arg("2");
    const Array upper = arg("'Double'");
    const CallResult columns = call("single/prod", 1, {d.get(), native.get()});
    ASSERT_FALSE(columns.failed) << columns.error;
    EXPECT_EQ(realPart<double>(columns.outputs.at(0).get()), (std::vector<double>{2, 12, 30}));
    const CallResult rows = call("single/prod", 1, {d.get(), two.get(), upper.get()});
    ASSERT_FALSE(rows.failed) << rows.error;
    EXPECT_EQ(realPart<double>(rows.outputs.at(0).get()), (std::vector<double>{15, 48}));

    for (const CallResult& r : {call("single/prod", 1, {x.get(), native.get()}),
                                call("single/prod", 1, {x.get(), two.get(), upper.get()})}) {
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(r.error.rfind("The embedded host computes prod of full double arrays only", 0), 0u) << r.error;
    }
    EXPECT_EQ(call("single/prod", 2, {x.get(), native.get()}).error, "Too many output arguments.");
}

TEST(Prod, Frame)
{
    const Array x = arg("single([2 3])");
    const CallResult banner = call("single/prod", 1, {});
    EXPECT_FALSE(banner.failed);
    EXPECT_NE(banner.printed.find("\nProduct of elements.\n\n\t"), std::string::npos) << banner.printed;
    EXPECT_EQ(banner.outputs.at(0), nullptr);

    const CallResult two = call("single/prod", 2, {});
    EXPECT_EQ(two.error, "Too many output arguments.");
    const CallResult three = call("single/prod", 1, {x.get(), x.get(), x.get()});
    EXPECT_EQ(three.error, "Wrong number of input arguments.");

    const CallResult quiet = call("single/prod", 0, {x.get()});
    ASSERT_FALSE(quiet.failed) << quiet.error;
    EXPECT_EQ(realPart<float>(quiet.outputs.at(0).get()), (std::vector<float>{6}));
}

} // namespace
} // namespace fpmex::test
