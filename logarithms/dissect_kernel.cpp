// dissectKernel: the variant of the active level.
#include "dissect_kernel.h"

#include "common/split_thresholds.h"
#include "common/worker_pool.h"

namespace fpmex {

template <class T>
const KernelVariants<DissectKernelFn<T>>& dissectKernelVariants()
{
    static constexpr KernelVariants<DissectKernelFn<T>> variants{dissectKernelX87<T>, sse2::dissectKernel<T>,
                                                                 avx2::dissectKernel<T>, avx512::dissectKernel<T>};
    return variants;
}

template <class T>
void dissectKernel(T* outF, T* outE, const T* inRe, std::size_t count)
{
    static const DissectKernelFn<T> kernel = activeVariant(dissectKernelVariants<T>());
    splitWork(count, split::streamingElements, [&](std::size_t, std::size_t begin, std::size_t end) {
        kernel(outF + begin, outE + begin, inRe + begin, end - begin);
    });
}

template const KernelVariants<DissectKernelFn<float>>& dissectKernelVariants<float>();
template const KernelVariants<DissectKernelFn<double>>& dissectKernelVariants<double>();
template void dissectKernel<float>(float*, float*, const float*, std::size_t);
template void dissectKernel<double>(double*, double*, const double*, std::size_t);

} // namespace fpmex
