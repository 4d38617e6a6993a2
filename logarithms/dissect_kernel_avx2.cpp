// dissectKernel at the avx2 level (dissect_kernel_vector.inl).
#include "common/fp_state.h"
#include "dissect_kernel.h"

#define FPMEX_SIMD_LEVEL avx2
#include "common/simd/level_begin.h"
#include "common/simd/walk.inl"
#include "dissect_kernel_vector.inl"
#include "common/simd/level_end.h"
