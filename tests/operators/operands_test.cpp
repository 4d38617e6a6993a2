// Operand preparation and shape matching, seen through plus and lt: which
// classes convert and how, what is rejected, and how two shapes match.
#include "operator_calls.h"

#include <cstdint>

namespace fpmex::test {
namespace {

const char* const operatorNames[] = {"single/plus", "single/lt"};

// plus(x, single(-0)) shows the converted x bit for bit: adding -0 changes
// no single value, not even -0.
std::vector<std::uint32_t> converted(const mxArray* operand)
{
    const Array minusZero = arg("single(-0)");
    const CallResult result = call("single/plus", 1, {operand, minusZero.get()});
    EXPECT_FALSE(result.failed) << result.error;
    return result.failed ? std::vector<std::uint32_t>{} : realBits(result.outputs[0].get());
}

struct ConversionCase {
    const char* expression;
    std::vector<std::uint32_t> bits;
};

TEST(OperandPreparation, ConvertsEveryAcceptedClass)
{
    const std::vector<ConversionCase> cases = {
        {"'A'", {0x42820000}},
        {"'ABC'", {0x42820000, 0x42840000, 0x42860000}},
        {"[0.1 1e300 -1e300 1e-40 -1e-40 -0]", {0x3DCCCCCD, 0x7F800000, 0xFF800000, 0x00000000, 0x80000000, 0x80000000}},
        {"int8([-128 127 -1])", {0xC3000000, 0x42FE0000, 0xBF800000}},
        {"uint8([0 255])", {0x00000000, 0x437F0000}},
        {"int16([-32768 32767])", {0xC7000000, 0x46FFFE00}},
        {"uint16([65535 1])", {0x477FFF00, 0x3F800000}},
        {"int32([16777217 -2147483648])", {0x4B800000, 0xCF000000}},
        {"uint32([4294967295 2147483777 7])", {0x4F800000, 0x4F000000, 0x40E00000}},
    };
    for (const ConversionCase& c : cases) {
        const Array operand = arg(c.expression);
        EXPECT_EQ(converted(operand.get()), c.bits) << c.expression;
    }
}

TEST(OperandPreparation, ConvertsTwentyNarrowElementsIntoTheirOwnPositions)
{
    std::vector<std::int8_t> signedValues(20);
    std::vector<std::uint8_t> unsignedValues(20);
    for (std::size_t k = 0; k < 20; ++k) {
        signedValues[k] = static_cast<std::int8_t>(-100 + 11 * static_cast<int>(k));
        unsignedValues[k] = static_cast<std::uint8_t>(255 - 13 * k);
    }
    const Array signedOperand = makeArray(mxINT8_CLASS, signedValues);
    const Array unsignedOperand = makeArray(mxUINT8_CLASS, unsignedValues);
    const std::vector<std::uint32_t> signedBits = converted(signedOperand.get());
    const std::vector<std::uint32_t> unsignedBits = converted(unsignedOperand.get());
    ASSERT_EQ(signedBits.size(), 20u);
    ASSERT_EQ(unsignedBits.size(), 20u);
    for (std::size_t k = 0; k < 20; ++k) {
        EXPECT_EQ(signedBits[k], bitsOf(static_cast<float>(signedValues[k]))) << k;
        EXPECT_EQ(unsignedBits[k], bitsOf(static_cast<float>(unsignedValues[k]))) << k;
    }
}

TEST(OperandPreparation, ComplexSourcesConvertBothParts)
{
    const Array realZero = arg("single(0)");
    for (const char* expression : {"complex(0.1, -1e-40)", "complex(int16(-3), int16(4))"}) {
        const Array operand = arg(expression);
        const CallResult result = call("single/plus", 1, {operand.get(), realZero.get()});
        ASSERT_FALSE(result.failed) << result.error;
        ASSERT_TRUE(mxIsComplex(result.outputs[0].get())) << expression;
    }
    const Array operand = arg("complex([0.1 1e300], [-1e-40 -3])");
    const CallResult result = call("single/plus", 1, {operand.get(), realZero.get()});
    ASSERT_FALSE(result.failed) << result.error;
    EXPECT_EQ(realBits(result.outputs[0].get()), (std::vector<std::uint32_t>{0x3DCCCCCD, 0x7F800000}));
    EXPECT_EQ(imagBits(result.outputs[0].get()), (std::vector<std::uint32_t>{0x80000000, 0xC0400000}));
}

// Single operands are used as they are: the only array a call makes is its
// output.
TEST(OperandPreparation, SingleOperandsAreNotCopied)
{
    const Array a = arg("single([1 2 3])"), b = arg("single([4 5 6])"), d = arg("[4 5 6]");
    for (const char* name : operatorNames) {
        EXPECT_EQ(call(name, 1, {a.get(), b.get()}).stats.arrays, 1u) << name;
        EXPECT_EQ(call(name, 1, {a.get(), d.get()}).stats.arrays, 2u) << name;
    }
}

TEST(OperandPreparation, RejectsClassesWithoutConverter)
{
    const Array single = arg("single([1 2])"), empty = arg("zeros(0,3)");
    for (const char* expression : {"{1}", "struct()", "true", "int64(1)", "uint64([1 2])"}) {
        const Array bad = arg(expression);
        for (const char* name : operatorNames) {
            expectOnlyError(call(name, 1, {bad.get(), single.get()}), "Wrong data type.", std::string(name) + " first " + expression);
            expectOnlyError(call(name, 1, {single.get(), bad.get()}), "Wrong data type.", std::string(name) + " second " + expression);
            // Operands are prepared before shapes are matched.
            expectOnlyError(call(name, 1, {empty.get(), bad.get()}), "Wrong data type.", std::string(name) + " beside empty " + expression);
        }
    }
}

// A sparse array's buffers hold only its nonzeros, so it is not read as a
// full array; an empty one is accepted like any empty operand.
TEST(OperandPreparation, RejectsSparseOperands)
{
    const Array single = arg("single(1)");
    const Array sparse(mxCreateSparse(3, 3, 1, mxREAL));
    const Array emptySparse(mxCreateSparse(0, 3, 1, mxREAL));
    for (const char* name : operatorNames) {
        expectOnlyError(call(name, 1, {sparse.get(), single.get()}), "Sparse operands are not supported.", name);
        expectOnlyError(call(name, 1, {single.get(), sparse.get()}), "Sparse operands are not supported.", name);
        expectEmptyResult(call(name, 1, {emptySparse.get(), single.get()}),
                          std::string(name) == "single/lt" ? mxLOGICAL_CLASS : mxSINGLE_CLASS, name);
    }
}

TEST(ShapeMatching, EmptyOperandOfAnyClassGivesZeroByZero)
{
    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"{}", "single([1 2])"},     {"single([1 2])", "{}"},     {"zeros(0,3)", "single(1)"},
        {"single(1)", "zeros(3,0)"}, {"cell(0,4)", "int8(5)"},   {"single(zeros(2,0))", "single(zeros(0,2))"},
    };
    for (const auto& [first, second] : pairs) {
        const Array a = arg(first), b = arg(second);
        const std::string context = std::string(first) + ", " + second;
        expectEmptyResult(call("single/plus", 1, {a.get(), b.get()}), mxSINGLE_CLASS, "plus " + context);
        expectEmptyResult(call("single/lt", 1, {a.get(), b.get()}), mxLOGICAL_CLASS, "lt " + context);
    }
}

struct ShapeCase {
    const char* first;
    const char* second;
    std::vector<mwSize> dims;
};

TEST(ShapeMatching, ScalarOnEitherSideOrEqualSizes)
{
    const std::vector<ShapeCase> cases = {
        {"single(1)", "single(ones(2,3,4))", {2, 3, 4}},
        {"single(ones(2,3,4))", "single(1)", {2, 3, 4}},
        {"2", "single(ones(2,3,4))", {2, 3, 4}},
        {"single(ones(2,3))", "ones(2,3)", {2, 3}},
        {"single(1)", "single(2)", {1, 1}},
        {"single(ones(3,1))", "int8(ones(3,1))", {3, 1}},
    };
    for (const ShapeCase& c : cases) {
        const Array a = arg(c.first), b = arg(c.second);
        for (const char* name : operatorNames) {
            const CallResult result = call(name, 1, {a.get(), b.get()});
            ASSERT_FALSE(result.failed) << name << " " << c.first << ", " << c.second << ": " << result.error;
            EXPECT_EQ(dimensionsOf(result.outputs[0].get()), c.dims) << name << " " << c.first << ", " << c.second;
        }
    }
}

TEST(ShapeMatching, OtherShapesAreIncompatible)
{
    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"single(ones(2,3))", "single(ones(3,2))"},
        {"single([1 2 3])", "single([1;2;3])"},
        {"single([1 2 3])", "single([1 2 3 4])"},
        {"single(ones(2,2))", "ones(1,4)"},
        {"single(ones(2,3,2))", "single(ones(2,6))"},
    };
    for (const auto& [first, second] : pairs) {
        const Array a = arg(first), b = arg(second);
        for (const char* name : operatorNames)
            expectOnlyError(call(name, 1, {a.get(), b.get()}), "Incompatible dimensions.",
                            std::string(name) + " " + first + ", " + second);
    }
}

} // namespace
} // namespace fpmex::test
