// logKernel for double elements at the avx2 level (log_kernel_double_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "log_double_constants.h"
#include "log_kernel.h"
#include "log_kernel_vector.h"

#include <bit>

#define FPMEX_SIMD_LEVEL avx2
// One register a step: the double-double values of two would not fit
// in sixteen registers (measured: 5.7 against 9.4 ns an element).
#define FPMEX_SIMD_REGISTERS 1
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/double_double.inl"
#include "log_reduction.inl"
#include "log_double_evaluation.inl"
#include "log_kernel_double_vector.inl"
#include "common/simd/level_end.h"
