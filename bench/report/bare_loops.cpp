#include "bare_loops.h"

#include "common/fp_state.h"
#include "common/x87.h"
#include "elementary/exp_constants.h"
#include "elementary/exp_magnitude.h"

#include <cmath>

namespace fpmex::report {
namespace {

using x87::Extended;

// Each loop is compiled apart from the state guard of its caller: beside the
// guard's assembly (which touches memory) GCC may keep values in memory that
// it would otherwise hold in registers, and a baseline must not pay for
// that.

template <class T>
[[gnu::noinline]] void expLoop(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    const Extended log2e = x87::fldl2e();
    if (!inIm) {
        for (std::size_t i = count; i-- > 0;)
            x87::store(outRe[i], expMagnitude(x87::load(inRe[i]), log2e));
        return;
    }
    const Extended period = ExpConstants<T>::period;
    const Extended scale = x87::fromBits(ExpConstants<T>::scaleSignExponent, ExpConstants<T>::scaleSignificand);
    for (std::size_t i = count; i-- > 0;) {
        const x87::SinCos angle = x87::fsincos(x87::fprem(x87::load(inIm[i]), period) * scale);
        const Extended e = expMagnitude(x87::load(inRe[i]), log2e);
        x87::store(outRe[i], angle.cos * e);
        x87::store(outIm[i], angle.sin * e);
    }
}

[[gnu::noinline]] void sqrtLoop(double* outRe, double* outIm, const double* inRe, const double* inIm,
                                std::size_t count)
{
    if (!inIm) {
        for (std::size_t i = count; i-- > 0;) {
            x87::store(outRe[i], x87::fsqrt(std::fabs(x87::load(inRe[i]))));
            outIm[i] = 0;
        }
        return;
    }
    for (std::size_t i = count; i-- > 0;) {
        const Extended x = x87::load(inRe[i]);
        const Extended y = x87::load(inIm[i]);
        const Extended m = x87::fsqrt(x * x + y * y);
        const Extended r = x87::fsqrt((std::fabs(x) + m) * 0.5L);
        x87::store(outIm[i], y * 0.5L / r);
        x87::store(outRe[i], r);
    }
}

// floor and round need no special-value handling, so their kernel's pass is
// already a bare FRNDINT loop; this copy, compiled apart from any kernel,
// shows what the kernel's frame around the pass costs.
template <class T, bool addHalf>
[[gnu::noinline]] void roundingLoop(T* out, const T* in, std::size_t count)
{
    for (std::size_t i = count; i-- > 0;) {
        Extended x = x87::load(in[i]);
        if constexpr (addHalf)
            x += 0.5L;
        x87::store(out[i], x87::frndint(x));
    }
}

template <class T, bool addHalf>
void bareRounding(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    FpStateGuard guard;
    x87LoadControl(x87RoundDown);
    roundingLoop<T, addHalf>(outRe, inRe, count);
    if (inIm)
        roundingLoop<T, addHalf>(outIm, inIm, count);
}

[[gnu::noinline]] void prodLoop(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    Extended a = inRe[0];
    if (!inIm) {
        for (std::size_t k = 1; k < count; ++k)
            a *= inRe[k];
        *outRe = static_cast<float>(a);
        return;
    }
    Extended b = inIm[0];
    for (std::size_t k = count - 1; k > 0; --k) {
        const Extended x = inRe[k];
        const Extended y = inIm[k];
        const Extended re = a * x - b * y;
        b = b * x + a * y;
        a = re;
    }
    *outRe = static_cast<float>(a);
    *outIm = static_cast<float>(b);
}

} // namespace

template <class T>
void bareExp(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    FpStateGuard guard;
    x87Reset();
    expLoop(outRe, outIm, inRe, inIm, count);
}

template void bareExp<float>(float*, float*, const float*, const float*, std::size_t);
template void bareExp<double>(double*, double*, const double*, const double*, std::size_t);

void bareSqrt(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    FpStateGuard guard;
    x87Reset();
    if (!inIm)
        x87LoadControl(0x027F);
    sqrtLoop(outRe, outIm, inRe, inIm, count);
}

void bareFloor(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    bareRounding<float, false>(outRe, outIm, inRe, inIm, count);
}

void bareRound(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    bareRounding<double, true>(outRe, outIm, inRe, inIm, count);
}

void bareProd(float* outRe, float* outIm, const float* inRe, const float* inIm, std::size_t count)
{
    FpStateGuard guard;
    x87Reset();
    prodLoop(outRe, outIm, inRe, inIm, count);
}

template <class T>
void plainCopy(T* out, const T* in, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = in[i];
}

template void plainCopy<float>(float*, const float*, std::size_t);
template void plainCopy<double>(double*, const double*, std::size_t);

void plainCopyAndZero(double* outRe, double* outIm, const double* in, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        outRe[i] = in[i];
        outIm[i] = 0;
    }
}

} // namespace fpmex::report
