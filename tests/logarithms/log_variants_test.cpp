// The vector variants of logKernel (single, real input) and dissectKernel
// against their x87 references, bit for bit, at every level this processor
// has: hard cases one by one, a fixed sample of the 2^32 single patterns,
// every count up to 67 at buffer ends, and under a careless caller's modes.
#include "caller_modes.h"
#include "mex_test.h"
#include "variant_harness.h"

#include "common/fallback.h"
#include "logarithms/dissect_kernel.h"
#include "logarithms/log_kernel.h"

#include <gtest/gtest.h>

#include <vector>

namespace fpmex::test {
namespace {

// Every 4099th pattern (a prime step, so the sample meets every residue of
// the exponent and significand bits): about a million inputs.
constexpr std::uint64_t sampleStep = 4099;

struct LogCase {
    const char* name;
    LogBase base;
};

const LogCase logCases[] = {{"log2", LogBase::two}, {"log", LogBase::natural}, {"log10", LogBase::ten}};

template <LogBase base>
const KernelVariants<LogKernelFn<float>>& singleLogVariants()
{
    return logKernelVariants<float, base>();
}

const KernelVariants<LogKernelFn<float>>& variantsOf(LogBase base)
{
    switch (base) {
    case LogBase::two:
        return singleLogVariants<LogBase::two>();
    case LogBase::natural:
        return singleLogVariants<LogBase::natural>();
    case LogBase::ten:
        break;
    }
    return singleLogVariants<LogBase::ten>();
}

std::string nameAt(const char* name, CpuLevel level) { return std::string(name) + "@" + levelName(level); }

TEST(LogVariants, GiveTheReferenceBitsForHardCasesOneByOne)
{
    const std::vector<float> inputs = specialSingles();
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        const auto reference = flagKernel<float>(c.name, variants.x87);
        for (CpuLevel level : vectorLevelsHere()) {
            const Comparison result =
                compareEach(reference, flagKernel<float>(nameAt(c.name, level), variants.at(level)), inputs);
            EXPECT_EQ(result.differences, 0u) << result.summary();
        }
    }
}

TEST(LogVariants, GiveTheReferenceBitsOverASampleOfAllPatternsAndUseTheFallback)
{
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        const auto reference = flagKernel<float>(c.name, variants.x87);
        for (CpuLevel level : vectorLevelsHere()) {
            const auto variant = flagKernel<float>(nameAt(c.name, level), variants.at(level));
            const std::uint64_t fallbacksBefore = fallbackCount();
            Comparison result;
            forSinglePatterns(0, sampleStep, 1, [&](const float* block, std::size_t n, unsigned) {
                result.merge(compareKernels(reference, variant, block, static_cast<const float*>(nullptr), n));
            });
            EXPECT_EQ(result.differences, 0u) << result.summary();
            // Some of a million inputs lie near a rounding boundary: the
            // fallback is taken, and its results are among those compared.
            const std::uint64_t fallbacks = fallbackCount() - fallbacksBefore;
            EXPECT_GT(fallbacks, 0u) << variant.name;
            EXPECT_LT(fallbacks, result.elements / 1000) << variant.name;
        }
    }
}

TEST(LogVariants, ReadAndWriteOnlyTheirElementsAtEveryCount)
{
    const std::vector<float> inputs = specialSingles();
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        for (CpuLevel level : vectorLevelsHere()) {
            const Comparison result =
                compareCountsAndOffsets(flagKernel<float>(c.name, variants.x87),
                                        flagKernel<float>(nameAt(c.name, level), variants.at(level)), inputs, 67,
                                        false);
            EXPECT_EQ(result.differences, 0u) << result.summary();
        }
    }
}

TEST(LogVariants, IgnoreTheCallersModesAndRestoreThem)
{
    const std::vector<float> inputs = specialSingles();
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        std::vector<float> re0(inputs.size()), im0(inputs.size());
        const int flag0 = variants.x87(re0.data(), im0.data(), inputs.data(), nullptr, inputs.size());
        for (CpuLevel level : vectorLevelsHere()) {
            std::vector<float> re(inputs.size()), im(inputs.size());
            int flag = -1;
            underCarelessModes([&] { flag = variants.at(level)(re.data(), im.data(), inputs.data(), nullptr, inputs.size()); });
            EXPECT_EQ(flag, flag0);
            // The table has negative inputs: the flag is set and the
            // imaginary parts count.
            ASSERT_EQ(flag0, 1);
            for (std::size_t i = 0; i < inputs.size(); ++i) {
                ASSERT_EQ(bitsOf(re[i]), bitsOf(re0[i])) << nameAt(c.name, level) << " of " << inputs[i];
                ASSERT_EQ(bitsOf(im[i]), bitsOf(im0[i])) << nameAt(c.name, level) << " of " << inputs[i];
            }
        }
    }
}

TEST(LogVariants, HandComplexInputsToTheReference)
{
    const std::vector<float> re = {3, -3, 0, 1, 1e-30f, -1e30f, 2, 0.5f};
    const std::vector<float> im = {4, 0, -8, 0x1p-27f, 1, 1e30f, -0.0f, 1e-20f};
    for (const LogCase& c : logCases) {
        const auto& variants = variantsOf(c.base);
        for (CpuLevel level : vectorLevelsHere()) {
            const Comparison result = compareEach(flagKernel<float>(c.name, variants.x87),
                                                  flagKernel<float>(nameAt(c.name, level), variants.at(level)), re, im);
            EXPECT_EQ(result.differences, 0u) << result.summary();
        }
    }
}

TEST(DissectVariants, GiveTheReferenceBitsForBothSets)
{
    const auto& singles = dissectKernelVariants<float>();
    const auto& doubles = dissectKernelVariants<double>();
    std::vector<double> doubleInputs = specialDoubles();
    const std::vector<double> random = randomDoubles(200000, 17);
    doubleInputs.insert(doubleInputs.end(), random.begin(), random.end());
    for (CpuLevel level : vectorLevelsHere()) {
        const auto singleVariant = dissectionKernel<float>(nameAt("[F,E] single", level), singles.at(level));
        const auto singleReference = dissectionKernel<float>("[F,E] single", singles.x87);
        Comparison result = compareEach(singleReference, singleVariant, specialSingles());
        forSinglePatterns(1, sampleStep, 1, [&](const float* block, std::size_t n, unsigned) {
            result.merge(compareKernels(singleReference, singleVariant, block, static_cast<const float*>(nullptr), n));
        });
        result.merge(compareCountsAndOffsets(singleReference, singleVariant, specialSingles(), 67, false));
        const auto doubleVariant = dissectionKernel<double>(nameAt("[F,E] double", level), doubles.at(level));
        const auto doubleReference = dissectionKernel<double>("[F,E] double", doubles.x87);
        result.merge(compareKernels(doubleReference, doubleVariant, doubleInputs.data(),
                                    static_cast<const double*>(nullptr), doubleInputs.size()));
        result.merge(compareCountsAndOffsets(doubleReference, doubleVariant, specialDoubles(), 67, false));
        EXPECT_EQ(result.differences, 0u) << result.summary();
    }
}

} // namespace
} // namespace fpmex::test
