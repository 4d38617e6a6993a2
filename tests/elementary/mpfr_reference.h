// Correctly rounded references from MPFR for the elementary kernels' tests.
#pragma once

#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace fpmex::test {

// e^x correctly rounded to T (float or double), subnormals included.
template <class T>
T mpfrExp(T x)
{
    constexpr int precision = std::is_same_v<T, float> ? 24 : 53;
    constexpr mpfr_exp_t emin = std::is_same_v<T, float> ? -148 : -1073;
    constexpr mpfr_exp_t emax = std::is_same_v<T, float> ? 128 : 1024;
    const mpfr_exp_t oldMin = mpfr_get_emin();
    const mpfr_exp_t oldMax = mpfr_get_emax();
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    mpfr_t value;
    mpfr_init2(value, precision);
    int inexact = mpfr_set_d(value, static_cast<double>(x), MPFR_RNDN);
    inexact = mpfr_exp(value, value, MPFR_RNDN);
    mpfr_subnormalize(value, inexact, MPFR_RNDN);
    const T result = std::is_same_v<T, float> ? static_cast<T>(mpfr_get_flt(value, MPFR_RNDN))
                                                : static_cast<T>(mpfr_get_d(value, MPFR_RNDN));
    mpfr_clear(value);
    mpfr_set_emin(oldMin);
    mpfr_set_emax(oldMax);
    return result;
}

// Distance in units in the last place between two finite values of one
// sign (or zeros), counted along the ordered bit patterns.
inline std::uint64_t ulpDistance(double a, double b)
{
    std::int64_t ia;
    std::int64_t ib;
    std::memcpy(&ia, &a, 8);
    std::memcpy(&ib, &b, 8);
    if (ia < 0)
        ia = INT64_MIN - ia;
    if (ib < 0)
        ib = INT64_MIN - ib;
    return ia > ib ? static_cast<std::uint64_t>(ia - ib) : static_cast<std::uint64_t>(ib - ia);
}

} // namespace fpmex::test
