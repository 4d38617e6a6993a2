// Runs a kernel with the caller's x87 control word and MXCSR set to modes
// no kernel computes under (24-bit precision and rounding up on the x87,
// rounding up on SSE), so a kernel that relies on the caller's modes gives
// different results; checks that both are exactly as before afterwards.
#pragma once

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cstdint>

namespace fpmex::test {

inline constexpr std::uint16_t foreignX87Control = 0x087F;
inline constexpr std::uint32_t foreignMxcsr = 0x5F80;

template <class Kernel>
void underForeignFpMode(Kernel kernel)
{
    std::uint16_t savedControl;
    asm volatile("fnstcw %0" : "=m"(savedControl) : : "memory");
    const std::uint32_t savedMxcsr = _mm_getcsr();
    asm volatile("fldcw %0" : : "m"(foreignX87Control) : "memory");
    _mm_setcsr(foreignMxcsr);
    kernel();
    std::uint16_t control;
    asm volatile("fnstcw %0" : "=m"(control) : : "memory");
    const std::uint32_t mxcsr = _mm_getcsr();
    asm volatile("fldcw %0" : : "m"(savedControl) : "memory");
    _mm_setcsr(savedMxcsr);
    EXPECT_EQ(control, foreignX87Control) << "the kernel changed the caller's x87 control word";
    EXPECT_EQ(mxcsr, foreignMxcsr) << "the kernel changed the caller's MXCSR";
}

} // namespace fpmex::test
