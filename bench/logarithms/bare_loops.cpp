#include "bare_loops.h"

#include "common/fp_state.h"
#include "common/x87.h"

#include <cmath>

namespace fpmex::bench {

namespace {

x87::Extended extended(ExtendedBits bits)
{
    return x87::fromBits(bits.signExponent, bits.significand);
}

} // namespace

template <class T, LogBase base>
void bareRealLoop(T* outRe, const T* inRe, std::size_t count)
{
    const BaseMultipliers& m = baseMultipliers[static_cast<std::size_t>(base)];
    FpStateGuard guard;
    x87Reset();
    const x87::Extended c = extended(m.c);
    for (std::size_t i = count; i-- > 0;)
        outRe[i] = static_cast<T>(x87::fyl2x(c, std::fabs(x87::load(inRe[i]))));
}

template <class T, LogBase base>
void bareComplexLoop(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    constexpr BaseMultipliers m = baseMultipliers[static_cast<std::size_t>(base)];
    FpStateGuard guard;
    x87Reset();
    const x87::Extended h = extended(m.h);
    const x87::Extended a = extended(m.a);
    for (std::size_t i = count; i-- > 0;) {
        const x87::Extended x = x87::load(inRe[i]);
        const x87::Extended y = x87::load(inIm[i]);
        outRe[i] = static_cast<T>(x87::fyl2x(h, x * x + y * y));
        x87::Extended angle = x87::fpatan(y, x);
        if constexpr (m.scaleAngle)
            angle *= a;
        outIm[i] = static_cast<T>(angle);
    }
}

template void bareRealLoop<float, LogBase::two>(float*, const float*, std::size_t);
template void bareRealLoop<float, LogBase::natural>(float*, const float*, std::size_t);
template void bareRealLoop<float, LogBase::ten>(float*, const float*, std::size_t);
template void bareRealLoop<double, LogBase::two>(double*, const double*, std::size_t);
template void bareRealLoop<double, LogBase::ten>(double*, const double*, std::size_t);
template void bareComplexLoop<float, LogBase::two>(float*, float*, const float*, const float*, std::size_t);
template void bareComplexLoop<float, LogBase::natural>(float*, float*, const float*, const float*, std::size_t);
template void bareComplexLoop<float, LogBase::ten>(float*, float*, const float*, const float*, std::size_t);
template void bareComplexLoop<double, LogBase::two>(double*, double*, const double*, const double*, std::size_t);
template void bareComplexLoop<double, LogBase::ten>(double*, double*, const double*, const double*, std::size_t);

} // namespace fpmex::bench
