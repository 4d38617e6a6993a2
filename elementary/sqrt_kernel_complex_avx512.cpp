// sqrtKernel's complex path at the avx512 level (sqrt_kernel_complex_vector.inl).
#include "common/fallback.h"
#include "common/fp_state.h"
#include "sqrt_kernel.h"

#define FPMEX_SIMD_LEVEL avx512
// Three registers a step: the chains are short and the values few enough
// for thirty-two registers (measured: 2.24 against 2.39 ns an element with
// two).
#define FPMEX_SIMD_REGISTERS 3
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "common/simd/double_double.inl"
#include "sqrt_kernel_complex_vector.inl"
#include "common/simd/level_end.h"
