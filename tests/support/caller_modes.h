// Runs a kernel the way a careless caller would leave the unit: on the x87,
// 24-bit precision and rounding up; in MXCSR, denormals-are-zero,
// flush-to-zero and rounding up. A kernel that depends on the caller's modes
// gives other results; one that leaves its own behind fails the check that
// both are exactly as before when it returns.
#pragma once

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cstdint>

namespace fpmex::test {

inline constexpr std::uint16_t carelessX87Control = 0x087F;
inline constexpr std::uint32_t carelessMxcsr = 0xDFC0;

template <class Kernel>
void underCarelessModes(Kernel kernel)
{
    std::uint16_t savedControl;
    asm volatile("fnstcw %0" : "=m"(savedControl) : : "memory");
    const std::uint32_t savedMxcsr = _mm_getcsr();
    asm volatile("fldcw %0" : : "m"(carelessX87Control) : "memory");
    _mm_setcsr(carelessMxcsr);
    kernel();
    std::uint16_t control;
    asm volatile("fnstcw %0" : "=m"(control) : : "memory");
    const std::uint32_t mxcsr = _mm_getcsr();
    asm volatile("fldcw %0" : : "m"(savedControl) : "memory");
    _mm_setcsr(savedMxcsr);
    EXPECT_EQ(control, carelessX87Control) << "the kernel changed the caller's x87 control word";
    EXPECT_EQ(mxcsr & 0xFFC0, carelessMxcsr & 0xFFC0) << "the kernel changed the caller's MXCSR modes";
}

} // namespace fpmex::test
