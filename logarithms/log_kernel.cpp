// logKernel: the variant of the active level.
#include "log_kernel.h"

#include "log_kernel_vector.h"

#include "common/split.h"
#include "common/split_thresholds.h"

#include <type_traits>

namespace fpmex {

template <class T, LogBase base>
const KernelVariants<LogKernelFn<T>>& logKernelVariants()
{
    // Doubles have no SSE2 variant: reproducing their x87 results takes
    // double-double arithmetic, whose exact products need a fused
    // multiply-add.
    static constexpr KernelVariants<LogKernelFn<T>> variants = [] {
        if constexpr (std::is_same_v<T, float>)
            return KernelVariants<LogKernelFn<T>>{logKernelX87<T, base>, sse2::logKernel<base>,
                                                  avx2::logKernel<base>, avx512::logKernel<base>};
        else
            return KernelVariants<LogKernelFn<T>>{logKernelX87<T, base>, nullptr, avx2::logKernel<base>,
                                                  avx512::logKernel<base>};
    }();
    return variants;
}

template <class T, LogBase base>
int logKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    static const LogKernelFn<T> kernel = activeVariant(logKernelVariants<T, base>());
    static const bool vectorLevel = logKernelVariants<T, base>().levelAt(activeLevel()) != CpuLevel::x87;
    // Complex elements have a vector path from AVX2 on (SSE2 runs complex
    // singles on the x87 unit).
    static const bool complexVector = activeLevel() >= CpuLevel::avx2;
    const bool vector = inIm == nullptr ? vectorLevel : complexVector;
    return splitFlag(kernel, outRe, outIm, inRe, inIm, count,
                     vector ? split::vectorMathElements : split::x87Elements);
}

#define FPMEX_LOG_KERNEL(T, base)                                                                            \
    template const KernelVariants<LogKernelFn<T>>& logKernelVariants<T, base>();                            \
    template int logKernel<T, base>(T*, T*, const T*, const T*, std::size_t);
FPMEX_LOG_KERNEL(float, LogBase::two)
FPMEX_LOG_KERNEL(float, LogBase::natural)
FPMEX_LOG_KERNEL(float, LogBase::ten)
FPMEX_LOG_KERNEL(double, LogBase::two)
FPMEX_LOG_KERNEL(double, LogBase::ten)
#undef FPMEX_LOG_KERNEL

} // namespace fpmex
