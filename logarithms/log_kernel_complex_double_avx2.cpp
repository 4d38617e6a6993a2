// logKernel for complex double elements at the avx2 level
// (log_kernel_complex_double_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "log_complex_double_constants.h"
#include "log_double_constants.h"
#include "log_kernel.h"
#include "log_kernel_vector.h"

#define FPMEX_SIMD_LEVEL avx2
// One register a step, as for the real doubles: the double-double values of
// this path fill the sixteen registers of one already.
#define FPMEX_SIMD_REGISTERS 1
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/double_double.inl"
#include "log_reduction.inl"
#include "log_double_evaluation.inl"
#include "log_kernel_complex_double_vector.inl"
#include "common/simd/level_end.h"
