// sqrtKernel's complex path at the avx512 level (sqrt_kernel_complex_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "sqrt_kernel.h"

#define FPMEX_SIMD_LEVEL avx512
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/double_double.inl"
#include "sqrt_kernel_complex_vector.inl"
#include "common/simd/level_end.h"
