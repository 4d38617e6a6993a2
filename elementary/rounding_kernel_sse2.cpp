// floorKernel and roundKernel at the sse2 level (rounding_kernel_vector.inl).
#include "common/fp_state.h"
#include "rounding_kernel.h"

#define FPMEX_SIMD_LEVEL sse2
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "rounding_kernel_vector.inl"
#include "common/simd/level_end.h"
