// The instruction-set level the kernels run at. Every kernel has an x87
// reference; some also have vector variants for SSE2, AVX2 with FMA, and
// AVX-512 (F, DQ, VL). The level is chosen once per process: the highest one
// this processor and its operating system support, or a lower one named by
// the environment variable FPMEX_ISA (x87, sse2, avx2 or avx512).
#pragma once

namespace fpmex {

enum class CpuLevel { x87, sse2, avx2, avx512 };

inline constexpr CpuLevel allCpuLevels[] = {CpuLevel::x87, CpuLevel::sse2, CpuLevel::avx2, CpuLevel::avx512};

const char* levelName(CpuLevel level);

// Parses a level name as FPMEX_ISA takes it; false for anything else.
bool parseLevel(const char* text, CpuLevel& level);

// The highest level that CPUID reports and the operating system enables
// (XGETBV: the vector registers are saved on a context switch).
CpuLevel supportedLevel();

// The level the kernels use: supportedLevel(), lowered to FPMEX_ISA when that
// names a lower level. An unknown FPMEX_ISA is ignored. Read once.
CpuLevel activeLevel();

} // namespace fpmex
