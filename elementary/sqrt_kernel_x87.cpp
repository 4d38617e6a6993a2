// sqrtKernelX87: the reference square root on the x87 unit, of real or
// complex double elements, complex only where needed.
//
// Inputs: count >= 1 elements, walked from the last to the first; inIm null
// selects the real path. Both output buffers are written for every element;
// the result (the imaginary-part flag) tells whether outIm is needed.
// Special values: a real NaN gives NaN with the sign bit cleared in both
// parts; a negative real x (-0 and -Inf included) gives +0 + sqrt|x| i and
// sets the flag. Complex inputs follow the usual branch cut (results in the
// right half plane), with rows for NaN, Inf and zero parts; finite nonzero
// parts take the cancellation-free form: the root of a sum of non-negative
// terms, the other part by division by the unrounded root.
// Accuracy: the root of a real input, or of a complex input with a zero
// imaginary part, is correctly rounded; the general complex case is formed
// in 80-bit extended precision (no overflow or underflow of the squares) and
// rounded once on store.
// Floating-point state: resets the x87 unit (round to nearest, 64-bit
// significand; 53-bit significand for the correctly rounded roots); the
// caller's x87 environment and MXCSR are restored on return.
#include "sqrt_kernel.h"

#include "classify.h"
#include "common/fp_state.h"
#include "common/x87.h"
#include "indefinite.h"

#include <cmath>
#include <cstdint>

namespace fpmex {
namespace {

using x87::Extended;

// sqrt(a) rounded once to double, for a single root inside the complex pass,
// which otherwise runs under the default control word.
inline Extended doubleRoot(Extended a)
{
    static constexpr std::uint16_t rootControl = x87DoubleRoot;
    static constexpr std::uint16_t passControl = x87Default;
    asm("fldcw %1\n\t"
        "fsqrt\n\t"
        "fldcw %2"
        : "+t"(a)
        : "m"(rootControl), "m"(passControl));
    return a;
}

// FSQRT leaves +Inf and NaN as they are, so only the sign needs a test; a
// NaN is not negative whatever its sign bit. Both parts first receive the
// root, then the zero goes to the part that needs it: the sign picks the
// address instead of a branch, as random signs would defeat prediction.
int sqrtReal(double* outRe, double* outIm, const double* inRe, std::size_t count)
{
    x87LoadControl(x87DoubleRoot);
    int flag = 0;
    for (std::size_t i = count; i-- > 0;) {
        const double& x = inRe[i];
        const Extended s = x87::fsqrt(std::fabs(x87::load(x)));
        x87::store(outRe[i], s);
        x87::store(outIm[i], s);
        if (kindOf(x) != Kind::nan) [[likely]] {
            const bool negative = signOf(x);
            flag |= negative;
            *(negative ? &outRe[i] : &outIm[i]) = 0;
        }
    }
    return flag;
}

// x and y finite and nonzero. With m = |z| formed in extended precision
// (no double input overflows or underflows its squares), the root
// r = sqrt((|x| + m) / 2) is taken of a sum of two non-negative terms, so
// nothing cancels: for x >= 0 it is the real part, for x < 0 (where m - x is
// the same sum) the imaginary part, with y's sign. The other part is
// (y / 2) / r, divided by the unrounded root: the imaginary part for x >= 0,
// its magnitude the real part for x < 0. A sign s of -1 exactly when both
// parts are negative gives both signs: s * r, and (s * y / 2) / r with s
// folded into the halving (exact).
//
// Both values are stored to a local pair and the sign of x picks, by index,
// which goes to which part. The output addresses stay fixed: stores to an
// address computed from the data held up the loads of the next elements
// whenever the buffers' offsets within a page collided (up to a fifth more
// time per element); and a plain choice would be a branch, which random
// signs defeat.
inline void generalRoot(double& outRe, double& outIm, const double& xValue, const double& yValue)
{
    static constexpr float signs[2] = {1, -1};
    static constexpr float halves[2] = {0.5f, -0.5f};
    const bool xNegative = signOf(xValue);
    const bool bothNegative = xNegative && signOf(yValue);

    const Extended x = x87::load(xValue);
    const Extended y = x87::load(yValue);
    const Extended m = x87::fsqrt(x * x + y * y);
    const Extended r = x87::fsqrt((std::fabs(x) + m) * 0.5L);
    double parts[2];
    x87::store(parts[0], r * signs[bothNegative]);
    x87::store(parts[1], y * halves[bothNegative] / r);
    outRe = parts[xNegative];
    outIm = parts[!xNegative];
}

struct Root {
    Extended re;
    Extended im;
    bool needsImaginary;
};

// An element with a zero, infinite or NaN part, case by case in order (the
// first match applies). A NaN or infinite result part that the flag leaves
// out of the result is still written.
inline Root specialRoot(const double& xValue, const double& yValue)
{
    const Extended x = x87::load(xValue);
    const Extended y = x87::load(yValue);
    const bool xNegative = signOf(xValue);
    const bool yNegative = signOf(yValue);
    const Kind xKind = kindOf(xValue);
    const Kind yKind = kindOf(yValue);

    if (xKind == Kind::nan)
        return {x, x, false};
    if (xKind == Kind::infinity) {
        if (yKind == Kind::nan || yKind == Kind::infinity)
            return {x87Indefinite, x87Indefinite, false};
        if (!xNegative)
            return {x, 0, false};
        return {0, -x, true};
    }
    if (xKind == Kind::zero) {
        if (yKind == Kind::zero)
            return {y, -y, false};
        const Extended w = x87::fsqrt(std::fabs(y) * 0.5L);
        return {w, yNegative ? -w : w, true};
    }
    if (yKind == Kind::nan)
        return {std::fabs(y), y, false};
    if (yKind == Kind::infinity)
        return {std::fabs(y), y, true};
    // y is +-0: the root of x alone, rounded once like a real input's.
    if (!xNegative)
        return {doubleRoot(x), y, false};
    return {y, doubleRoot(-x), true};
}

int sqrtComplex(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    int flag = 0;
    for (std::size_t i = count; i-- > 0;) {
        if (kindOf(inRe[i]) == Kind::finite && kindOf(inIm[i]) == Kind::finite) [[likely]] {
            generalRoot(outRe[i], outIm[i], inRe[i], inIm[i]);
            flag = 1;
            continue;
        }
        const Root root = specialRoot(inRe[i], inIm[i]);
        x87::store(outRe[i], root.re);
        x87::store(outIm[i], root.im);
        flag |= root.needsImaginary;
    }
    return flag;
}

} // namespace

int sqrtKernelX87(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t count)
{
    FpStateGuard guard;
    x87Reset();
    if (inIm == nullptr)
        return sqrtReal(outRe, outIm, inRe, count);
    return sqrtComplex(outRe, outIm, inRe, inIm, count);
}

} // namespace fpmex
