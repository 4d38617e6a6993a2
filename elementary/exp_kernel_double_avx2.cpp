// expKernel for double elements at the avx2 level (exp_kernel_double_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "exp_double_constants.h"
#include "exp_kernel.h"

#define FPMEX_SIMD_LEVEL avx2
// One register a step: the double-double values of two would not fit
// in sixteen registers (measured: 7.0 against 10.6 ns an element).
#define FPMEX_SIMD_REGISTERS 1
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/double_double.inl"
#include "exp_double_evaluation.inl"
#include "exp_kernel_double_vector.inl"
#include "common/simd/level_end.h"
