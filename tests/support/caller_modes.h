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

// Runs kernel with the caller's x87 control word and MXCSR set to these,
// and checks that both are exactly as set when it returns.
template <class Kernel>
void underModes(std::uint16_t x87Control, std::uint32_t mxcsr, Kernel kernel)
{
    std::uint16_t savedControl;
    asm volatile("fnstcw %0" : "=m"(savedControl) : : "memory");
    const std::uint32_t savedMxcsr = _mm_getcsr();
    asm volatile("fldcw %0" : : "m"(x87Control) : "memory");
    _mm_setcsr(mxcsr);
    kernel();
    std::uint16_t controlAfter;
    asm volatile("fnstcw %0" : "=m"(controlAfter) : : "memory");
    const std::uint32_t mxcsrAfter = _mm_getcsr();
    asm volatile("fldcw %0" : : "m"(savedControl) : "memory");
    _mm_setcsr(savedMxcsr);
    EXPECT_EQ(controlAfter, x87Control) << "the kernel changed the caller's x87 control word";
    EXPECT_EQ(mxcsrAfter, mxcsr) << "the kernel changed the caller's MXCSR";
}

template <class Kernel>
void underCarelessModes(Kernel kernel)
{
    underModes(carelessX87Control, carelessMxcsr, kernel);
}

} // namespace fpmex::test
