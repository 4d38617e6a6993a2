// sqrtKernel's complex path at the avx2 level (sqrt_kernel_complex_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "sqrt_kernel.h"

#define FPMEX_SIMD_LEVEL avx2
// One register a step: the double-double values of two would not fit in
// sixteen registers.
#define FPMEX_SIMD_REGISTERS 1
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/double_double.inl"
#include "sqrt_kernel_complex_vector.inl"
#include "common/simd/level_end.h"
