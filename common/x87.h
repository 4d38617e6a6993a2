// Single x87 instructions as inline functions on extended-precision values
// (long double is the x87 80-bit format with GCC on x86-64).
//
// GCC's x87 operand rules: "t" is st(0), "u" is st(1); an input that the
// instruction pops is listed as clobbered, and popped inputs sit nearest the
// top of the stack. Each helper states what it leaves on the stack.
#pragma once

#include <cstdint>
#include <cstring>

namespace fpmex::x87 {

using Extended = long double;

// An extended value from its sign/exponent word and 64-bit significand, the
// way constants are written down bit for bit.
inline Extended fromBits(std::uint16_t signExponent, std::uint64_t significand) noexcept
{
    unsigned char bytes[sizeof(Extended)] = {};
    std::memcpy(bytes, &significand, 8);
    std::memcpy(bytes + 8, &signExponent, 2);
    Extended value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// x loaded into the unit by FLD from memory (exact; a signalling NaN comes
// out quiet). Written as an instruction so that the compiler neither folds a
// load and a later store of the same value into a plain copy, which would let
// a signalling NaN through, nor routes the value through integer registers.
template <class T>
inline Extended load(const T& x) noexcept
{
    static_assert(sizeof(T) == 4 || sizeof(T) == 8, "float or double");
    Extended r;
    if constexpr (sizeof(T) == 4)
        asm("flds %1" : "=t"(r) : "m"(x));
    else
        asm("fldl %1" : "=t"(r) : "m"(x));
    return r;
}

// value rounded to T under the current rounding control and written to dst
// by FSTP, straight from the unit (the popped input is listed as clobbered).
template <class T>
inline void store(T& dst, Extended value) noexcept
{
    static_assert(sizeof(T) == 4 || sizeof(T) == 8, "float or double");
    if constexpr (sizeof(T) == 4)
        asm("fstps %0" : "=m"(dst) : "t"(value) : "st");
    else
        asm("fstpl %0" : "=m"(dst) : "t"(value) : "st");
}

inline std::uint16_t signExponentOf(Extended value) noexcept
{
    std::uint16_t word;
    std::memcpy(&word, reinterpret_cast<const unsigned char*>(&value) + 8, 2);
    return word;
}

inline std::uint64_t significandOf(Extended value) noexcept
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    return bits;
}

// y * log2(x). Pops x and leaves the result in place of y.
inline Extended fyl2x(Extended y, Extended x) noexcept
{
    Extended r;
    asm("fyl2x" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

// y * log2(x + 1), accurate for |x| < 1 - sqrt(2)/2.
inline Extended fyl2xp1(Extended y, Extended x) noexcept
{
    Extended r;
    asm("fyl2xp1" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

// atan(y / x) with the quadrant of (x, y), in (-pi, pi].
inline Extended fpatan(Extended y, Extended x) noexcept
{
    Extended r;
    asm("fpatan" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

// Splits x into significand (1 <= |s| < 2) and unbiased exponent.
struct Split {
    Extended significand;
    Extended exponent;
};
inline Split fxtract(Extended x) noexcept
{
    Split s;
    asm("fxtract" : "=t"(s.significand), "=u"(s.exponent) : "0"(x));
    return s;
}

// 2^x - 1 for -1 <= x <= 1.
inline Extended f2xm1(Extended x) noexcept
{
    asm("f2xm1" : "+t"(x));
    return x;
}

// x * 2^trunc(n); n stays below x and is dropped afterwards.
inline Extended fscale(Extended x, Extended n) noexcept
{
    Extended r;
    asm("fscale" : "=t"(r) : "0"(x), "u"(n));
    return r;
}

// Partial remainder of x by p (truncating quotient), repeated until complete.
inline Extended fprem(Extended x, Extended p) noexcept
{
    Extended r;
    asm("1:\n\t"
        "fprem\n\t"
        "fnstsw %%ax\n\t"
        "testb $4, %%ah\n\t"
        "jnz 1b"
        : "=t"(r)
        : "0"(x), "u"(p)
        : "ax", "cc");
    return r;
}

// sin and cos of x for |x| < 2^63.
struct SinCos {
    Extended sin;
    Extended cos;
};
inline SinCos fsincos(Extended x) noexcept
{
    SinCos r;
    asm("fsincos" : "=t"(r.cos), "=u"(r.sin) : "0"(x));
    return r;
}

// x rounded to an integer in the current rounding mode.
inline Extended frndint(Extended x) noexcept
{
    asm("frndint" : "+t"(x));
    return x;
}

// Square root rounded to the current precision control.
inline Extended fsqrt(Extended x) noexcept
{
    asm("fsqrt" : "+t"(x));
    return x;
}

// FXAM classification (condition bits C3, C2, C0 of the status word).
enum class Class : std::uint16_t {
    unsupported = 0x0000,
    nan = 0x0100,
    normal = 0x0400,
    infinity = 0x0500,
    zero = 0x4000,
    empty = 0x4100,
    denormal = 0x4400,
};
inline Class fxam(Extended x) noexcept
{
    std::uint16_t status;
    asm("fxam\n\t"
        "fnstsw %0"
        : "=a"(status)
        : "t"(x));
    return static_cast<Class>(status & 0x4500);
}
// FXAM's C1: the sign bit, also for zeros and NaNs.
inline bool signOf(Extended x) noexcept
{
    return (signExponentOf(x) & 0x8000) != 0;
}

// The constants the unit loads exactly to 64 bits under round to nearest.
inline Extended fldpi() noexcept
{
    Extended r;
    asm("fldpi" : "=t"(r));
    return r;
}
inline Extended fldl2e() noexcept
{
    Extended r;
    asm("fldl2e" : "=t"(r));
    return r;
}
inline Extended fldln2() noexcept
{
    Extended r;
    asm("fldln2" : "=t"(r));
    return r;
}
inline Extended fldlg2() noexcept
{
    Extended r;
    asm("fldlg2" : "=t"(r));
    return r;
}

// x stored as a 32-bit integer (FIST) in the current rounding mode; NaN and
// values outside the range give the integer indefinite, -2^31. Volatile, so
// that it stays after the control word load that picks the mode.
inline std::int32_t fist32(Extended x) noexcept
{
    std::int32_t r;
    asm volatile("fistl %0" : "=m"(r) : "t"(x));
    return r;
}

} // namespace fpmex::x87
