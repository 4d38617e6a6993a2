// Correctly rounded logarithms from MPFR, the reference the kernels are held
// to, and the kernels by base for typed tests.
#pragma once

#include "logarithms/log_kernel.h"

#include <mpfr.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace fpmex::test {

template <class T>
inline constexpr mpfr_prec_t precisionOf = sizeof(T) == 4 ? 24 : 53;

template <class T>
T fromMpfr(const mpfr_t value)
{
    if constexpr (sizeof(T) == 4)
        return mpfr_get_flt(value, MPFR_RNDN);
    else
        return mpfr_get_d(value, MPFR_RNDN);
}

// A scratch MPFR number of the given precision.
struct Mp {
    explicit Mp(mpfr_prec_t precision = 256) { mpfr_init2(v, precision); }
    ~Mp() { mpfr_clear(v); }
    Mp(const Mp&) = delete;
    Mp& operator=(const Mp&) = delete;
    mpfr_t v;
};

// ln(b) of the base at the working precision.
inline void logOfBase(mpfr_t out, LogBase base)
{
    switch (base) {
    case LogBase::two:
        mpfr_const_log2(out, MPFR_RNDN);
        break;
    case LogBase::natural:
        mpfr_set_ui(out, 1, MPFR_RNDN);
        break;
    case LogBase::ten:
        mpfr_set_ui(out, 10, MPFR_RNDN);
        mpfr_log(out, out, MPFR_RNDN);
        break;
    }
}

// log_b(|x|) rounded once to T (x finite and nonzero). Computed directly at
// T's precision, so the rounding is MPFR's correct rounding.
template <class T>
T referenceLog(LogBase base, T x)
{
    Mp in(precisionOf<T>), out(precisionOf<T>);
    mpfr_set_d(in.v, static_cast<double>(x), MPFR_RNDN);
    mpfr_abs(in.v, in.v, MPFR_RNDN);
    switch (base) {
    case LogBase::two:
        mpfr_log2(out.v, in.v, MPFR_RNDN);
        break;
    case LogBase::natural:
        mpfr_log(out.v, in.v, MPFR_RNDN);
        break;
    case LogBase::ten:
        mpfr_log10(out.v, in.v, MPFR_RNDN);
        break;
    }
    return fromMpfr<T>(out.v);
}

// log_b(x + iy) for finite x, y not both zero: log|z| / ln b and
// atan2(y, x) / ln b, each worked out to 256 bits and then rounded to T.
template <class T>
std::pair<T, T> referenceComplexLog(LogBase base, T x, T y)
{
    Mp re, im, scale, ys;
    mpfr_set_d(re.v, static_cast<double>(x), MPFR_RNDN);
    mpfr_set_d(ys.v, static_cast<double>(y), MPFR_RNDN);
    mpfr_atan2(im.v, ys.v, re.v, MPFR_RNDN);
    mpfr_hypot(re.v, re.v, ys.v, MPFR_RNDN);
    mpfr_log(re.v, re.v, MPFR_RNDN);
    logOfBase(scale.v, base);
    mpfr_div(re.v, re.v, scale.v, MPFR_RNDN);
    mpfr_div(im.v, im.v, scale.v, MPFR_RNDN);
    return {fromMpfr<T>(re.v), fromMpfr<T>(im.v)};
}

// Steps between two finite values of the same type along the number line.
template <class T>
std::int64_t ulpsBetween(T a, T b)
{
    auto ordered = [](T v) -> std::int64_t {
        if constexpr (sizeof(T) == 4) {
            const auto bits = std::bit_cast<std::int32_t>(v);
            return bits < 0 ? -std::int64_t{bits & INT32_MAX} : bits;
        } else {
            const auto bits = std::bit_cast<std::int64_t>(v);
            return bits < 0 ? -(bits & INT64_MAX) : bits;
        }
    };
    const std::int64_t d = ordered(a) - ordered(b);
    return d < 0 ? -d : d;
}

template <class T, LogBase B>
struct Kernel {
    using Type = T;
    static constexpr LogBase base = B;
    static int run(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count)
    {
        return logKernel<T, B>(outRe, outIm, inRe, inIm, count);
    }
};

} // namespace fpmex::test
