// Runs a kernel under a caller MXCSR unlike the kernels' own mode (rounding
// towards zero, denormals-are-zero on, flush-to-zero off), so that a kernel
// which forgot to load its mode gives different results, and checks that
// the caller's MXCSR is exactly as before once the kernel returns.
#pragma once

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cstdint>

namespace fpmex::test {

inline constexpr std::uint32_t foreignCallerMode = 0x7FC0;

template <class Kernel>
void underCallerMode(Kernel kernel)
{
    const std::uint32_t saved = _mm_getcsr();
    _mm_setcsr(foreignCallerMode);
    kernel();
    const std::uint32_t after = _mm_getcsr();
    _mm_setcsr(saved);
    EXPECT_EQ(after, foreignCallerMode) << "the kernel changed the caller's MXCSR";
}

} // namespace fpmex::test
