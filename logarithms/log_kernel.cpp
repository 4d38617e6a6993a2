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
    // The double set's logarithms have no vector variant yet: their x87
    // results are not always the correctly rounded ones, and a variant has
    // to reproduce them exactly.
    static constexpr KernelVariants<LogKernelFn<T>> variants = [] {
        if constexpr (std::is_same_v<T, float>)
            return KernelVariants<LogKernelFn<float>>{logKernelX87<float, base>, sse2::logKernel<base>,
                                                      avx2::logKernel<base>, avx512::logKernel<base>};
        else
            return KernelVariants<LogKernelFn<T>>{logKernelX87<T, base>};
    }();
    return variants;
}

template <class T, LogBase base>
int logKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    static const LogKernelFn<T> kernel = activeVariant(logKernelVariants<T, base>());
    const bool vector = std::is_same_v<T, float> && inIm == nullptr;
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
