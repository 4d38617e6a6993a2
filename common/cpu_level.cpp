#include "cpu_level.h"

#include <cpuid.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace fpmex {
namespace {

struct Registers {
    unsigned a = 0, b = 0, c = 0, d = 0;
};

Registers cpuid(unsigned leaf, unsigned subleaf = 0)
{
    Registers r;
    if (__get_cpuid_count(leaf, subleaf, &r.a, &r.b, &r.c, &r.d) == 0)
        return {};
    return r;
}

// The register state the operating system saves (XCR0); only valid when
// CPUID reports OSXSAVE.
std::uint64_t enabledState()
{
    std::uint32_t low, high;
    asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (std::uint64_t{high} << 32) | low;
}

bool bit(unsigned word, int n) { return ((word >> n) & 1) != 0; }

CpuLevel detect()
{
    const Registers leaf1 = cpuid(1);
    if (!bit(leaf1.d, 26)) // SSE2
        return CpuLevel::x87;
    if (!bit(leaf1.c, 27) || !bit(leaf1.c, 28)) // OSXSAVE, AVX
        return CpuLevel::sse2;
    const std::uint64_t state = enabledState();
    constexpr std::uint64_t vectorState = 0x6;    // XMM and YMM registers
    constexpr std::uint64_t avx512State = 0xE0;   // opmask, ZMM upper halves, ZMM16-31
    if ((state & vectorState) != vectorState)
        return CpuLevel::sse2;
    const Registers leaf7 = cpuid(7);
    if (!bit(leaf7.b, 5) || !bit(leaf1.c, 12)) // AVX2, FMA
        return CpuLevel::sse2;
    const bool avx512 = bit(leaf7.b, 16) && bit(leaf7.b, 17) && bit(leaf7.b, 31); // F, DQ, VL
    if (!avx512 || (state & avx512State) != avx512State)
        return CpuLevel::avx2;
    return CpuLevel::avx512;
}

} // namespace

const char* levelName(CpuLevel level)
{
    switch (level) {
    case CpuLevel::x87:
        return "x87";
    case CpuLevel::sse2:
        return "sse2";
    case CpuLevel::avx2:
        return "avx2";
    case CpuLevel::avx512:
        break;
    }
    return "avx512";
}

bool parseLevel(const char* text, CpuLevel& level)
{
    for (CpuLevel candidate : allCpuLevels)
        if (std::strcmp(text, levelName(candidate)) == 0) {
            level = candidate;
            return true;
        }
    return false;
}

CpuLevel supportedLevel()
{
    static const CpuLevel level = detect();
    return level;
}

CpuLevel activeLevel()
{
    static const CpuLevel level = [] {
        CpuLevel wanted = supportedLevel();
        const char* text = std::getenv("FPMEX_ISA");
        if (text != nullptr && parseLevel(text, wanted) && wanted < supportedLevel())
            return wanted;
        return supportedLevel();
    }();
    return level;
}

} // namespace fpmex
