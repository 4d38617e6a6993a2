// expKernel: the variant of the active level.
#include "exp_kernel.h"

#include "common/split.h"
#include "common/split_thresholds.h"

#include <type_traits>

namespace fpmex {

template <class T>
const KernelVariants<ExpKernelFn<T>>& expKernelVariants()
{
    // Doubles have no SSE2 variant: reproducing their x87 results takes
    // double-double arithmetic, whose exact products need a fused
    // multiply-add.
    static constexpr KernelVariants<ExpKernelFn<T>> variants = [] {
        if constexpr (std::is_same_v<T, float>)
            return KernelVariants<ExpKernelFn<T>>{expKernelX87<T>, sse2::expKernel, avx2::expKernel,
                                                  avx512::expKernel};
        else
            return KernelVariants<ExpKernelFn<T>>{expKernelX87<T>, nullptr, avx2::expKernel, avx512::expKernel};
    }();
    return variants;
}

template <class T>
void expKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    static const ExpKernelFn<T> kernel = activeVariant(expKernelVariants<T>());
    static const bool vectorLevel = expKernelVariants<T>().levelAt(activeLevel()) != CpuLevel::x87;
    // Complex elements have a vector path from AVX2 on (SSE2 runs complex
    // singles on the x87 unit).
    static const bool complexVector = activeLevel() >= CpuLevel::avx2;
    const bool vector = inIm == nullptr ? vectorLevel : complexVector;
    splitPlain(kernel, outRe, outIm, inRe, inIm, count, vector ? split::vectorMathElements : split::x87Elements);
}

template const KernelVariants<ExpKernelFn<float>>& expKernelVariants<float>();
template const KernelVariants<ExpKernelFn<double>>& expKernelVariants<double>();
template void expKernel<float>(float*, float*, const float*, const float*, std::size_t);
template void expKernel<double>(double*, double*, const double*, const double*, std::size_t);

} // namespace fpmex
