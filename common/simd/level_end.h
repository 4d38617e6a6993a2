// Closes what level_begin.h opened.
#pragma GCC pop_options
#undef FPMEX_SIMD_LEVEL
