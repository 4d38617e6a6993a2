// Floating-point state of the calling thread. Kernels compute under modes of
// their own (x87 control word, SSE MXCSR); a MEX call must never leave a
// directed rounding mode or flush-to-zero behind in the host process, so
// every kernel holds an FpStateGuard for its whole run.
#pragma once

#include <cstdint>
#include <xmmintrin.h>

namespace fpmex {

// Every control word a kernel computes under.
//
// x87 unit after FNINIT: all exceptions masked, 64-bit significand,
// round to nearest even.
inline constexpr std::uint16_t x87Default = 0x037F;
// As x87Default, rounding towards minus infinity (floor, round).
inline constexpr std::uint16_t x87RoundDown = 0x177F;
// As x87Default, 24-bit significand and rounding towards minus infinity
// (the size conversion of ones).
inline constexpr std::uint16_t x87SizeConversion = 0x147F;
// As x87Default, rounding towards zero (dimension and size arguments).
inline constexpr std::uint16_t x87Truncate = 0x0F7F;
// As x87Default, 53-bit significand: FSQRT then rounds once, to the double
// (64-bit precision would round to 64 bits and the store again to 53, which
// misses the correctly rounded double for about one root in 4,000).
inline constexpr std::uint16_t x87DoubleRoot = 0x027F;
// MXCSR for the SSE kernels of plus and lt: exceptions masked, round to
// nearest, flush-to-zero on, denormals-are-zero off.
inline constexpr std::uint32_t sseKernelMode = 0x9F80;
// MXCSR for the vector variants of the x87 kernels: exceptions masked, round
// to nearest, neither flush-to-zero nor denormals-are-zero, so that
// subnormal inputs and results take part with their true values, as on the
// x87 unit.
inline constexpr std::uint32_t sseVectorMode = 0x1F80;
// As sseVectorMode, rounding towards minus infinity (round).
inline constexpr std::uint32_t sseVectorRoundDown = 0x3F80;

// The x87 environment as FNSTENV stores it (control, status and tag words,
// last instruction and operand pointers).
struct X87Environment {
    std::uint16_t words[14];
};

// Saves the x87 environment and MXCSR on construction and restores both on
// destruction. The caller's x87 register stack is empty at a call boundary,
// so restoring the saved tag word is exact.
struct FpStateGuard {
    FpStateGuard() noexcept
    {
        // The register clobbers keep the compiler from holding a value on
        // the x87 stack across the save or the restore: FLDENV puts the
        // stack top and tag word back as they were saved, which would drop
        // or resurrect such a value.
        asm volatile("fnstenv %0" : "=m"(saved) : : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)",
                     "st(6)", "st(7)");
        // FNSTENV masks all x87 exceptions as a side effect; put the caller's
        // control word back until the kernel loads its own.
        asm volatile("fldcw %0" : : "m"(saved.words[0]) : "memory");
        savedMxcsr = _mm_getcsr();
    }
    ~FpStateGuard()
    {
        asm volatile("fldenv %0" : : "m"(saved) : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)",
                     "st(7)");
        _mm_setcsr(savedMxcsr);
    }
    FpStateGuard(const FpStateGuard&) = delete;
    FpStateGuard& operator=(const FpStateGuard&) = delete;

    X87Environment saved;
    std::uint32_t savedMxcsr;
};

// FNINIT: the x87 unit in its initial state (control word x87Default, empty
// register stack). Only valid where no x87 register holds a live value, such
// as at the top of a kernel.
inline void x87Reset() noexcept
{
    asm volatile("fninit" : : : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
}

inline void x87LoadControl(std::uint16_t controlWord) noexcept
{
    asm volatile("fldcw %0" : : "m"(controlWord) : "memory");
}

inline std::uint16_t x87Control() noexcept
{
    std::uint16_t controlWord;
    asm volatile("fnstcw %0" : "=m"(controlWord) : : "memory");
    return controlWord;
}

inline void sseLoadMode(std::uint32_t mode) noexcept
{
    _mm_setcsr(mode);
}

} // namespace fpmex
