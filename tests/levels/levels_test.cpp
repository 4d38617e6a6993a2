// FPMEX_ISA chooses the level every kernel runs at: each run of this program
// has it set to another value (see CMakeLists.txt), and the kernels called
// by their contract's names must then run that level's variant, or the
// highest one below it that this processor has.
#include "common/cpu_level.h"
#include "common/fallback.h"
#include "logarithms/log_kernel.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace fpmex {
namespace {

CpuLevel expectedLevel()
{
    const char* text = std::getenv("FPMEX_ISA");
    CpuLevel named;
    if (text == nullptr || !parseLevel(text, named) || named > supportedLevel())
        return supportedLevel();
    return named;
}

TEST(Levels, TheActiveLevelIsTheNamedOneOrTheHighestBelowItHere)
{
    EXPECT_EQ(activeLevel(), expectedLevel()) << "FPMEX_ISA=" << (std::getenv("FPMEX_ISA") ? std::getenv("FPMEX_ISA") : "(unset)");
}

TEST(Levels, KernelsRunTheActiveLevelsVariant)
{
    const auto& variants = logKernelVariants<float, LogBase::two>();
    EXPECT_EQ(variants.levelAt(activeLevel()), activeLevel());
    // The x87 reference never hands an element over; every vector variant
    // does for some of a million inputs near rounding boundaries.
    std::vector<float> in, re, im;
    for (std::uint64_t bits = 0x3F000000; bits < 0x3F000000 + (std::uint64_t{1} << 20); ++bits)
        in.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(bits * 7 % 0x7F800000)));
    re.resize(in.size());
    im.resize(in.size());
    const std::uint64_t before = fallbackCount();
    logKernel<float, LogBase::two>(re.data(), im.data(), in.data(), nullptr, in.size());
    const bool handedOver = fallbackCount() > before;
    EXPECT_EQ(handedOver, activeLevel() != CpuLevel::x87) << levelName(activeLevel());
}

} // namespace
} // namespace fpmex
