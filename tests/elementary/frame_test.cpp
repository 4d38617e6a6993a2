// The entry frame of the five elementary deliverables, and whole arrays:
// every element of every count lands in its place, under the host's guard
// zones and off 16-byte boundaries.
#include "call_support.h"
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"

#include <limits>
#include <random>

namespace fpmex::test {
namespace {

struct Deliverable {
    const char* name;
    const char* description;
    mxClassID classId;
};

const Deliverable deliverables[] = {
    {"single/exp", "Exponential.", mxSINGLE_CLASS},
    {"double/exp", "Exponential.", mxDOUBLE_CLASS},
    {"double/sqrt", "Square root.", mxDOUBLE_CLASS},
    {"single/floor", "Round towards -infinity.", mxSINGLE_CLASS},
    {"double/round", "Round towards nearest integer.", mxDOUBLE_CLASS},
};

Array sample(mxClassID classId, std::vector<mwSize> dims, bool complex)
{
    Array array(mxCreateNumericArray(dims.size(), dims.data(), classId, complex ? mxCOMPLEX : mxREAL));
    const std::size_t n = mxGetNumberOfElements(array.get());
    for (std::size_t i = 0; i < n; ++i) {
        if (classId == mxSINGLE_CLASS) {
            static_cast<float*>(mxGetData(array.get()))[i] = 0.5f + static_cast<float>(i);
            if (complex)
                static_cast<float*>(mxGetImagData(array.get()))[i] = -1.5f;
        } else {
            static_cast<double*>(mxGetData(array.get()))[i] = 0.5 + static_cast<double>(i);
            if (complex)
                static_cast<double*>(mxGetImagData(array.get()))[i] = -1.5;
        }
    }
    return array;
}

TEST(ElementaryFrame, BannerWithoutInputs)
{
    for (const Deliverable& d : deliverables) {
        const CallResult result = call(d.name, 1, {});
        EXPECT_FALSE(result.failed) << d.name;
        EXPECT_EQ(result.printed.rfind(std::string("\n") + d.description + "\n\n\t", 0), 0u) << d.name;
        EXPECT_EQ(result.printed.substr(result.printed.size() - 2), "\n\n") << d.name;
        EXPECT_TRUE(result.outputs.empty() || !result.outputs[0]) << d.name << ": no output";
    }
}

TEST(ElementaryFrame, CountErrors)
{
    const Array single = sample(mxSINGLE_CLASS, {1, 1}, false);
    const Array dbl = sample(mxDOUBLE_CLASS, {1, 1}, false);
    for (const Deliverable& d : deliverables) {
        const mxArray* input = d.classId == mxSINGLE_CLASS ? single.get() : dbl.get();
        const CallResult tooMany = call(d.name, 2, {});
        EXPECT_TRUE(tooMany.failed) << d.name;
        EXPECT_EQ(tooMany.error, "Too many output arguments.") << d.name;
        EXPECT_TRUE(tooMany.printed.empty()) << d.name << ": no banner before the output check";
        const CallResult twoInputs = call(d.name, 1, {input, input});
        EXPECT_EQ(twoInputs.error, "Wrong number of input arguments.") << d.name;
    }
}

TEST(ElementaryFrame, ShapesEmptyInputsAndNoRequestedOutput)
{
    for (const Deliverable& d : deliverables) {
        for (const std::vector<mwSize>& dims :
             {std::vector<mwSize>{0, 3}, std::vector<mwSize>{2, 0, 4}, std::vector<mwSize>{2, 3, 2}}) {
            const Array input = sample(d.classId, dims, false);
            const CallResult result = call(d.name, 0, {input.get()});
            ASSERT_FALSE(result.failed) << d.name << ": " << result.error;
            const mxArray* output = result.outputs.at(0).get();
            ASSERT_NE(output, nullptr) << d.name << ": the result is made even for nlhs = 0";
            EXPECT_EQ(mxGetClassID(output), d.classId) << d.name;
            EXPECT_EQ(dimensionsOf(output), dims) << d.name;
            if (mxGetNumberOfElements(output) == 0) {
                EXPECT_EQ(mxGetData(output), nullptr) << d.name;
                EXPECT_EQ(result.stats.blocks, 0u) << d.name << ": nothing allocated for an empty input";
            }
        }
    }
}

// exp, floor and round give a complex result exactly when the input is
// complex, zero imaginary parts included; sqrt decides by its results.
TEST(ElementaryFrame, ComplexOutputFollowsTheInput)
{
    for (const Deliverable& d : deliverables) {
        Array input = sample(d.classId, {1, 2}, true);
        std::memset(mxGetImagData(input.get()), 0, 2 * (d.classId == mxSINGLE_CLASS ? 4 : 8));
        const CallResult result = call(d.name, 1, {input.get()});
        ASSERT_FALSE(result.failed) << d.name;
        const bool isSqrt = std::string(d.name) == "double/sqrt";
        EXPECT_EQ(mxIsComplex(result.outputs.at(0).get()), !isSqrt) << d.name;
    }
}

// Element i of a batch equals the kernel's result for element i alone.
template <class T, class Kernel>
void expectBatchMatchesElements(const std::string& name, Kernel kernel, const std::vector<T>& re,
                                const std::vector<T>& im, bool flagged)
{
    const Array input = makeArray<T>(classOf<T>(), re, im);
    const Outcome<T> outcome = runDeliverable<T>(name, input.get());
    ASSERT_EQ(outcome.re.size(), re.size()) << name;
    std::vector<BitsOf<T>> expectRe(re.size());
    std::vector<BitsOf<T>> expectIm(re.size());
    bool anyFlag = false;
    for (std::size_t i = 0; i < re.size(); ++i) {
        T outRe = 0;
        T outIm = 0;
        const int flag = kernel(&outRe, &outIm, &re[i], im.empty() ? nullptr : &im[i]);
        anyFlag = anyFlag || flag != 0;
        expectRe[i] = std::bit_cast<BitsOf<T>>(outRe);
        expectIm[i] = std::bit_cast<BitsOf<T>>(outIm);
    }
    const bool complexResult = flagged ? anyFlag : !im.empty();
    EXPECT_EQ(outcome.re, expectRe) << name << " count " << re.size();
    if (complexResult)
        EXPECT_EQ(outcome.im, expectIm) << name << " count " << re.size();
    else
        EXPECT_TRUE(outcome.im.empty()) << name << " count " << re.size();
}

template <class T>
std::vector<T> mixed(std::size_t count, std::mt19937_64& generator)
{
    const T specials[] = {0, -0.0, std::numeric_limits<T>::infinity(), -std::numeric_limits<T>::infinity(),
                          std::numeric_limits<T>::quiet_NaN(), 0.5, -0.5, 2.5, -4};
    std::uniform_real_distribution<double> value(-80, 80);
    std::vector<T> values(count);
    for (T& v : values)
        v = generator() % 8 == 0 ? specials[generator() % 9] : static_cast<T>(value(generator));
    return values;
}

template <class T, class Kernel>
void expectAllCounts(const std::string& name, Kernel kernel, bool flagged)
{
    std::mt19937_64 generator(7);
    const auto check = [&](std::size_t count) {
        const std::vector<T> re = mixed<T>(count, generator);
        expectBatchMatchesElements<T>(name, kernel, re, {}, flagged);
        expectBatchMatchesElements<T>(name, kernel, re, mixed<T>(count, generator), flagged);
    };
    // Host buffers hold whole elements at their natural alignment, but need
    // not sit on a 16-byte boundary.
    for (std::size_t mallocOffset : {0, 8}) {
        for (std::size_t inputOffset = 0; inputOffset < 16; inputOffset += sizeof(T)) {
            host::setMallocOffset(mallocOffset);
            host::setInputOffset(inputOffset);
            for (std::size_t count = 1; count <= 9; ++count)
                check(count);
        }
    }
    host::setMallocOffset(8);
    host::setInputOffset(sizeof(T));
    check(100003);
    host::setMallocOffset(0);
    host::setInputOffset(0);
}

template <class T, void (*plain)(T*, T*, const T*, const T*, std::size_t)>
int asFlagKernel(T* outRe, T* outIm, const T* inRe, const T* inIm)
{
    plain(outRe, inIm == nullptr ? nullptr : outIm, inRe, inIm, 1);
    return 0;
}

TEST(ElementaryArrays, EveryCountAndAlignment)
{
    expectAllCounts<float>("single/exp", asFlagKernel<float, expKernel<float>>, false);
    expectAllCounts<double>("double/exp", asFlagKernel<double, expKernel<double>>, false);
    expectAllCounts<float>("single/floor", asFlagKernel<float, floorKernel>, false);
    expectAllCounts<double>("double/round", asFlagKernel<double, roundKernel>, false);
    expectAllCounts<double>(
        "double/sqrt",
        [](double* outRe, double* outIm, const double* inRe, const double* inIm) {
            return sqrtKernel(outRe, outIm, inRe, inIm, 1);
        },
        true);
}

} // namespace
} // namespace fpmex::test
