// Closes what level_begin.h opened.
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#undef FPMEX_SIMD_LEVEL
#undef FPMEX_SIMD_KERNEL
#undef FPMEX_SIMD_STEP
#undef FPMEX_SIMD_REGISTERS
#undef FPMEX_SIMD_TARGET
#undef FPMEX_SIMD_STRING
