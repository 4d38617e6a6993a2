// expKernel for single elements at the sse2 level (exp_kernel_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "exp_kernel.h"
#include "exp_vector_table.h"

#define FPMEX_SIMD_LEVEL sse2
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/single_rounding.inl"
#include "exp_kernel_vector.inl"
#include "common/simd/level_end.h"
