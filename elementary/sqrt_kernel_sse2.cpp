// sqrtKernel's real path at the sse2 level (sqrt_kernel_vector.inl).
#include "common/fp_state.h"
#include "sqrt_kernel.h"

#define FPMEX_SIMD_LEVEL sse2
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "sqrt_kernel_vector.inl"
#include "common/simd/level_end.h"
