// expKernelX87: the reference exponential on the x87 unit, e^z for real or
// complex float and double elements.
//
// Inputs: count >= 1 elements, walked from the last to the first; inIm null
// selects the real path, and outIm is then not touched.
// Special values: real NaN stays (quiet), +Inf -> +Inf, -Inf -> +0,
// +-0 -> exactly 1. Complex: the angle of the imaginary part y first (NaN or
// Inf -> indefinite NaN for cos and sin, +-0 -> cos = 1 and sin = y), then the
// real part x scales it (NaN -> x in both parts, +Inf -> IEEE products with
// +Inf, -Inf -> +0 in both parts, +-0 -> cos and sin unscaled).
// Accuracy: e^x is formed in 80-bit extended precision and rounded once on
// store: correctly rounded in float, within 1 ulp in double.
// Floating-point state: resets the x87 unit (round to nearest, 64-bit
// significand); the caller's x87 environment and MXCSR are restored on
// return.
#include "exp_kernel.h"

#include "classify.h"
#include "common/fp_state.h"
#include "common/x87.h"
#include "exp_constants.h"
#include "exp_magnitude.h"
#include "indefinite.h"

namespace fpmex {
namespace {

using x87::Extended;

// e^x of a zero, an infinity or a NaN.
template <class T>
inline Extended expSpecial(const T& x)
{
    switch (kindOf(x)) {
    case Kind::zero:
        return 1;
    case Kind::infinity:
        return signOf(x) ? 0 : x87::load(x);
    default:
        return x87::load(x);
    }
}

template <class T>
void expReal(T* outRe, const T* inRe, std::size_t count)
{
    const Extended log2e = x87::fldl2e();
    for (std::size_t i = count; i-- > 0;) {
        const T& x = inRe[i];
        if (kindOf(x) == Kind::finite) [[likely]]
            x87::store(outRe[i], expMagnitude(x87::load(x), log2e));
        else
            x87::store(outRe[i], expSpecial(x));
    }
}

// cos and sin of (y mod period) * scale for a finite nonzero y. FPREM's
// quotient is truncated, so the remainder is exact, keeps y's sign and stays
// below the period in magnitude: FSINCOS never sees an argument out of its
// range.
template <class T>
inline x87::SinCos angleOf(const T& y, Extended period, Extended scale)
{
    return x87::fsincos(x87::fprem(x87::load(y), period) * scale);
}

// An element with a zero, infinite or NaN part: the angle of y first, then
// the magnitude of x scales it. Kept out of line, like expComplex below: with
// either inlined (into the loop, or the loop beside the state guard), GCC
// also stores the cosine and sine of every element to memory (two FSTPT),
// about 15 % of the time of an element.
template <class T>
[[gnu::noinline]] void expComplexSpecial(T& outRe, T& outIm, const T& x, const T& y, Extended log2e,
                                         Extended period, Extended scale)
{
    Extended c;
    Extended s;
    switch (kindOf(y)) {
    case Kind::finite: {
        const x87::SinCos angle = angleOf(y, period, scale);
        c = angle.cos;
        s = angle.sin;
        break;
    }
    case Kind::zero:
        c = 1;
        s = x87::load(y);
        break;
    case Kind::infinity:
    case Kind::nan:
        c = x87Indefinite;
        s = x87Indefinite;
        break;
    }

    Extended re;
    Extended im;
    switch (kindOf(x)) {
    case Kind::finite: {
        const Extended e = expMagnitude(x87::load(x), log2e);
        re = c * e;
        im = s * e;
        break;
    }
    case Kind::zero:
        re = c;
        im = s;
        break;
    case Kind::infinity:
        if (signOf(x)) {
            re = 0;
            im = 0;
        } else {
            // IEEE products: 0 * Inf and NaN * Inf give NaN.
            re = c * x87::load(x);
            im = s * x87::load(x);
        }
        break;
    case Kind::nan:
        re = x87::load(x);
        im = re;
        break;
    }
    x87::store(outRe, re);
    x87::store(outIm, im);
}

template <class T>
[[gnu::noinline]] void expComplex(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    const Extended log2e = x87::fldl2e();
    const Extended period = ExpConstants<T>::period;
    const Extended scale = x87::fromBits(ExpConstants<T>::scaleSignExponent, ExpConstants<T>::scaleSignificand);
    for (std::size_t i = count; i-- > 0;) {
        if (kindOf(inRe[i]) == Kind::finite && kindOf(inIm[i]) == Kind::finite) [[likely]] {
            const x87::SinCos angle = angleOf(inIm[i], period, scale);
            const Extended e = expMagnitude(x87::load(inRe[i]), log2e);
            x87::store(outRe[i], angle.cos * e);
            x87::store(outIm[i], angle.sin * e);
        } else {
            expComplexSpecial(outRe[i], outIm[i], inRe[i], inIm[i], log2e, period, scale);
        }
    }
}

} // namespace

template <class T>
void expKernelX87(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    FpStateGuard guard;
    x87Reset();
    if (inIm == nullptr)
        expReal(outRe, inRe, count);
    else
        expComplex(outRe, outIm, inRe, inIm, count);
}

template void expKernelX87<float>(float*, float*, const float*, const float*, std::size_t);
template void expKernelX87<double>(double*, double*, const double*, const double*, std::size_t);

} // namespace fpmex
