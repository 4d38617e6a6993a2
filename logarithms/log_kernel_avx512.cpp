// logKernel for single elements at the avx512 level (log_kernel_vector.inl,
// log_kernel_complex_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "log_double_constants.h"
#include "log_kernel.h"
#include "log_kernel_vector.h"
#include "log_vector_constants.h"

#include <bit>

#define FPMEX_SIMD_LEVEL avx512
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/single_rounding.inl"
#include "log_reduction.inl"
#include "common/simd/double_double.inl"
#include "log_kernel_vector.inl"
#include "log_kernel_complex_vector.inl"
#include "common/simd/level_end.h"
