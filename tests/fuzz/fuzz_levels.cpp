// Every level of a fuzzed unary call: the input goes through each vector
// variant of the deliverable's kernel and through its x87 reference, and
// every output element must agree bit for bit. The deliverable itself runs
// one level per process; this way each fuzzed input meets all of them.
#include "fuzz_call.h"

#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "logarithms/dissect_kernel.h"
#include "logarithms/log_kernel.h"
#include "variant_harness.h"

namespace fpmex::fuzz {
namespace {

using test::KernelRun;

template <class T, class Fn, class Make>
std::string compareLevels(const KernelVariants<Fn>& table, Make make, const mxArray* input)
{
    const auto* inRe = static_cast<const T*>(mxGetData(input));
    const auto* inIm = static_cast<const T*>(mxGetImagData(input));
    const std::size_t count = mxGetNumberOfElements(input);
    const KernelRun<T> reference = make(table.x87);
    std::string report;
    for (CpuLevel level : test::vectorLevelsHere()) {
        if (table.levelAt(level) != level)
            continue;
        const test::Comparison result = test::compareKernels(reference, make(table.at(level)), inRe, inIm, count);
        if (result.differences != 0)
            report += std::string("level ") + levelName(level) + ": " + result.summary() + "\n";
    }
    return report;
}

template <class T>
auto flag(int (*kernel)(T*, T*, const T*, const T*, std::size_t))
{
    return test::flagKernel<T>("kernel", kernel);
}
template <class T>
auto plain(void (*kernel)(T*, T*, const T*, const T*, std::size_t))
{
    return test::plainKernel<T>("kernel", kernel);
}
template <class T>
auto dissection(void (*kernel)(T*, T*, const T*, std::size_t))
{
    return test::dissectionKernel<T>("kernel", kernel);
}

template <class T>
std::string levelsOf(const std::string& name, int nlhs, const mxArray* x)
{
    const bool real = mxGetImagData(x) == nullptr;
    if (name == "log2" && nlhs == 2)
        return real ? compareLevels<T>(dissectKernelVariants<T>(), dissection<T>, x) : std::string();
    if (name == "log2")
        return compareLevels<T>(logKernelVariants<T, LogBase::two>(), flag<T>, x);
    if (name == "log10")
        return compareLevels<T>(logKernelVariants<T, LogBase::ten>(), flag<T>, x);
    if (name == "exp")
        return compareLevels<T>(expKernelVariants<T>(), plain<T>, x);
    if constexpr (sizeof(T) == 4) {
        if (name == "log")
            return compareLevels<T>(logKernelVariants<float, LogBase::natural>(), flag<float>, x);
        if (name == "floor")
            return compareLevels<T>(floorKernelVariants(), plain<float>, x);
    } else {
        if (name == "sqrt")
            return compareLevels<T>(sqrtKernelVariants(), flag<double>, x);
        if (name == "round")
            return compareLevels<T>(roundKernelVariants(), plain<double>, x);
    }
    return {};
}

} // namespace

std::string checkLevels(const FuzzCall& call)
{
    const std::string& name = call.target->name;
    if (call.inputs.size() != 1 || name == "prod" || name == "ones" || name == "pi" || name == "plus" || name == "lt")
        return {};
    const mxArray* x = call.inputs[0].get();
    if (mxIsSparse(x) || mxGetNumberOfElements(x) == 0)
        return {};
    const bool single = call.target->setAndName.compare(0, 7, "single/") == 0;
    if (single && mxGetClassID(x) == mxSINGLE_CLASS)
        return levelsOf<float>(name, call.nlhs, x);
    if (!single && mxGetClassID(x) == mxDOUBLE_CLASS)
        return levelsOf<double>(name, call.nlhs, x);
    return {};
}

} // namespace fpmex::fuzz
