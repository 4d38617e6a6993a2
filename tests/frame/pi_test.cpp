#include "mex_test.h"

namespace fpmex::test {
namespace {

void expectPi(const CallResult& r)
{
    ASSERT_FALSE(r.failed) << r.error;
    const mxArray* out = r.outputs[0].get();
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(mxIsSingle(out));
    EXPECT_FALSE(mxIsComplex(out));
    EXPECT_EQ(dimensionsOf(out), (std::vector<mwSize>{1, 1}));
    EXPECT_EQ(bitsOf(realPart<float>(out)[0]), 0x40490FDBu);
    EXPECT_EQ(r.printed, "") << "pi prints no banner";
}

TEST(Pi, IsTheSingleNearestPiWhateverTheInputs)
{
    expectPi(call("single/pi", 1, {}));
    expectPi(call("single/pi", 0, {}));
    const Array a = arg("{}"), b = arg("int8([1 2 3])"), c = arg("'text'");
    expectPi(call("single/pi", 1, {a.get(), b.get(), c.get()}));
}

TEST(Pi, RejectsTwoOutputs)
{
    const CallResult r = call("single/pi", 2, {});
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.error, "Too many output arguments.");
}

} // namespace
} // namespace fpmex::test
