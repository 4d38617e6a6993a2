// Opens the compilation of a vector kernel for one level: FPMEX_SIMD_LEVEL is
// sse2, avx2 or avx512. Everything up to level_end.h is compiled for that
// level's instructions, in namespace fpmex::FPMEX_SIMD_LEVEL, with that
// level's operations in scope. See README.md.
//
// GCC 12 reports the placeholder operands of some AVX-512 intrinsics
// (_mm512_undefined_pd) as uninitialized or maybe uninitialized where they
// are inlined; the warning is about the intrinsic header's own code, which
// it judges where that code was read, so it is silenced before the first
// include.
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#define FPMEX_SIMD_sse2 1
#define FPMEX_SIMD_avx2 2
#define FPMEX_SIMD_avx512 3
#define FPMEX_SIMD_JOIN(a, b) a##b
#define FPMEX_SIMD_ID(level) FPMEX_SIMD_JOIN(FPMEX_SIMD_, level)

// GCC takes the level from its target pragma; clang applies the same target
// attribute to every function declared in the region.
#if defined(__clang__)
#define FPMEX_SIMD_TARGET(features) _Pragma(FPMEX_SIMD_STRING(clang attribute push(__attribute__((target(features))), apply_to = function)))
#define FPMEX_SIMD_STRING(x) #x
#else
#define FPMEX_SIMD_TARGET(features) _Pragma("GCC push_options") _Pragma(FPMEX_SIMD_STRING(GCC target(features)))
#define FPMEX_SIMD_STRING(x) #x
#endif

// A kernel's entry at a level: everything it calls is inlined into it, so
// that the packs of registers stay in registers from one operation to the
// next instead of passing through memory.
#define FPMEX_SIMD_KERNEL __attribute__((flatten))
// A step of a kernel that GCC's flattening leaves out of line when it is
// large (the double-double evaluations): inlined all the same.
#define FPMEX_SIMD_STEP inline __attribute__((always_inline))

// Registers per vector (pack.inl): enough independent chains to keep the
// level's units busy, few enough to stay in its registers (eight in a 32-bit
// build). A kernel whose steps hold many values at once (double-double
// arithmetic) sets FPMEX_SIMD_REGISTERS lower before including this.
#if FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) == FPMEX_SIMD_sse2
FPMEX_SIMD_TARGET("sse2")
#include "sse2.h"
#ifndef FPMEX_SIMD_REGISTERS
#define FPMEX_SIMD_REGISTERS 2
#endif
#elif FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) == FPMEX_SIMD_avx2
FPMEX_SIMD_TARGET("avx2,fma")
#include "avx2.h"
#ifndef FPMEX_SIMD_REGISTERS
#define FPMEX_SIMD_REGISTERS 3
#endif
#elif FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) == FPMEX_SIMD_avx512
FPMEX_SIMD_TARGET("avx512f,avx512dq,avx512vl,avx2,fma")
#include "avx512.h"
#ifndef FPMEX_SIMD_REGISTERS
#define FPMEX_SIMD_REGISTERS 2
#endif
#else
#error "FPMEX_SIMD_LEVEL must be sse2, avx2 or avx512"
#endif
namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {
inline constexpr std::size_t registers = FPMEX_SIMD_REGISTERS;
}
}
#include "pack.inl"
