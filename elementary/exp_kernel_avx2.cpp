// expKernel for single elements at the avx2 level (exp_kernel_vector.inl,
// exp_kernel_complex_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "exp_kernel.h"
#include "exp_vector_table.h"

#define FPMEX_SIMD_LEVEL avx2
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/single_rounding.inl"
#include "common/simd/double_double.inl"
#include "exp_kernel_vector.inl"
#include "exp_kernel_complex_vector.inl"
#include "common/simd/level_end.h"
