// logKernelX87: the reference logarithm on the x87 unit (contract in
// log_kernel.h).
#include "log_kernel.h"

#include "common/fp_state.h"
#include "common/x87.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace fpmex {
namespace {

using x87::Extended;

Extended extended(ExtendedBits bits)
{
    return x87::fromBits(bits.signExponent, bits.significand);
}

template <class T>
void storeBits(T* out, typename TypedLogConstants<T>::Bits bits)
{
    std::memcpy(out, &bits, sizeof bits);
}

// One FYL2X of |x| per element. The sign and NaN tests read the element's
// encoding in integer registers, where they overlap with the long FYL2X
// instead of queueing behind it on the x87 unit; P or +0 and the flag are
// then chosen without a branch. Only NaN branches.
template <class T>
int logReal(T* outRe, T* outIm, const T* inRe, std::size_t count, Extended c,
            typename TypedLogConstants<T>::Bits pBits)
{
    using Bits = typename TypedLogConstants<T>::Bits;
    constexpr Bits signBit = Bits{1} << (8 * sizeof(T) - 1);
    constexpr Bits infinity = sizeof(T) == 4 ? Bits(0x7F800000) : Bits(0x7FF0000000000000);
    int flag = 0;
    for (std::size_t i = count; i-- > 0;) {
        Bits bits;
        std::memcpy(&bits, inRe + i, sizeof bits);
        const Extended x = x87::load(inRe[i]);
        if ((bits & ~signBit) > infinity) {
            const T nan = static_cast<T>(std::fabs(x));
            outRe[i] = nan;
            outIm[i] = nan;
            continue;
        }
        outRe[i] = static_cast<T>(x87::fyl2x(c, std::fabs(x)));
        // x < 0: above the encoding of -0, which is the sign bit alone.
        const bool negative = bits > signBit;
        storeBits(outIm + i, negative ? pBits : Bits{0});
        flag |= negative;
    }
    return flag;
}

struct ComplexConstants {
    Extended c, h, a, P, Q, S;
};

// log|z| + i*arg(z), the cases tested in a fixed order with strict
// comparisons. When one square is below 1/S of the other, log|z| is the log
// of the larger part plus h*log2(1 + r), r the ratio of the squares: FYL2XP1
// keeps the digits of a tiny r that x^2 + y^2 would round away.
template <class T, bool scaleAngle>
int logComplex(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count, const ComplexConstants& k)
{
    int flag = 0;
    for (std::size_t i = count; i-- > 0;) {
        const Extended x = x87::load(inRe[i]);
        const Extended y = x87::load(inIm[i]);
        Extended re;
        Extended im;
        if (y != y) {
            re = y;
            im = y;
        } else if (y == 0) {
            if (x != x) {
                re = x;
                im = x;
            } else {
                re = x87::fyl2x(k.c, std::fabs(x));
                if (x < 0) {
                    im = k.P;
                    flag = 1;
                } else {
                    im = y;
                }
            }
        } else if (x != x) {
            re = x;
            im = x;
        } else if (x == 0) {
            re = x87::fyl2x(k.c, std::fabs(y));
            im = y > 0 ? k.Q : -k.Q;
            flag = 1;
        } else {
            const Extended x2 = x * x;
            const Extended y2 = y * y;
            if (y2 * k.S < x2)
                re = x87::fyl2x(k.c, std::fabs(x)) + x87::fyl2xp1(k.h, y2 / x2);
            else if (x2 * k.S < y2)
                re = x87::fyl2x(k.c, std::fabs(y)) + x87::fyl2xp1(k.h, x2 / y2);
            else
                re = x87::fyl2x(k.h, x2 + y2);
            im = x87::fpatan(y, x);
            if constexpr (scaleAngle)
                im *= k.a;
            flag = 1;
        }
        outRe[i] = static_cast<T>(re);
        outIm[i] = static_cast<T>(im);
    }
    return flag;
}

} // namespace

template <class T, LogBase base>
int logKernelX87(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
{
    using Typed = TypedLogConstants<T>;
    constexpr auto index = static_cast<std::size_t>(base);
    constexpr BaseMultipliers multipliers = baseMultipliers[index];

    FpStateGuard guard;
    x87Reset();
    if (inIm == nullptr)
        return logReal(outRe, outIm, inRe, count, extended(multipliers.c), Typed::P[index]);

    const ComplexConstants k{extended(multipliers.c),
                             extended(multipliers.h),
                             extended(multipliers.a),
                             std::bit_cast<T>(Typed::P[index]),
                             std::bit_cast<T>(Typed::Q[index]),
                             std::bit_cast<float>(Typed::S)};
    return logComplex<T, multipliers.scaleAngle>(outRe, outIm, inRe, inIm, count, k);
}

template int logKernelX87<float, LogBase::two>(float*, float*, const float*, const float*, std::size_t);
template int logKernelX87<float, LogBase::natural>(float*, float*, const float*, const float*, std::size_t);
template int logKernelX87<float, LogBase::ten>(float*, float*, const float*, const float*, std::size_t);
template int logKernelX87<double, LogBase::two>(double*, double*, const double*, const double*, std::size_t);
template int logKernelX87<double, LogBase::ten>(double*, double*, const double*, const double*, std::size_t);

} // namespace fpmex
