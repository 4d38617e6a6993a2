// dissectKernelX87: the reference dissection on the x87 unit (contract in
// dissect_kernel.h).
#include "dissect_kernel.h"

#include "common/fp_state.h"
#include "common/x87.h"

namespace fpmex {

template <class T>
void dissectKernelX87(T* outF, T* outE, const T* inRe, std::size_t count)
{
    using x87::Extended;
    FpStateGuard guard;
    x87Reset();
    for (std::size_t i = count; i-- > 0;) {
        const Extended x = x87::load(inRe[i]);
        if (x != x || x == 0) {
            outF[i] = static_cast<T>(x);
            outE[i] = static_cast<T>(x);
            continue;
        }
        // FXTRACT gives 1 <= |s| < 2; the loaded value is normal even for a
        // subnormal element, so e is its true exponent. Halving s and adding
        // one to e are exact. For +-Inf, s = +-Inf and e = +Inf.
        const x87::Split split = x87::fxtract(x);
        outF[i] = static_cast<T>(split.significand * 0.5L);
        outE[i] = static_cast<T>(split.exponent + 1);
    }
}

template void dissectKernelX87<float>(float*, float*, const float*, std::size_t);
template void dissectKernelX87<double>(double*, double*, const double*, std::size_t);

} // namespace fpmex
