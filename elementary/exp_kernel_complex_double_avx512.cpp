// expKernel for complex double elements at the avx512 level
// (exp_kernel_complex_double_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "exp_complex_double_constants.h"
#include "exp_double_constants.h"
#include "exp_kernel.h"

#define FPMEX_SIMD_LEVEL avx512
// One register a step: the path holds so many double-double values at once
// that two would live in memory.
#define FPMEX_SIMD_REGISTERS 1
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/double_double.inl"
#include "exp_double_evaluation.inl"
#include "exp_kernel_complex_double_vector.inl"
#include "common/simd/level_end.h"
