// Random doubles through the x87 reference kernels of the double set (real
// input), each result compared with MPFR's value of the exact function (128
// bits, so the reference's own error is far below the ulp fractions
// reported).
//
// Inputs come in blocks of 65536, block b drawn from a generator seeded with
// b, so a run gives the same figures whatever the thread count. Within a
// block the samples cycle through four regions per function:
//   log2, log10: random bit patterns of positive finite doubles (every
//                binade, subnormals included, equally likely), twice; 1 + d
//                with |d| from 2^-1 down to 2^-60 (log-uniform), twice;
//   exp:         random finite bit patterns; uniform on [-745.2, 709.8];
//                uniform near overflow [700, 709.8]; uniform near and below
//                the underflow limit [-745.2, -700];
//   sqrt:        random bit patterns of positive finite doubles;
//   round:       random finite bit patterns; uniform on [-2^20, 2^20]; exact
//                halves k + 1/2; halves moved by up to 4 ulps.
#include "accuracy.h"

#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "logarithms/log_kernel.h"

#include <mpfr.h>

#include <chrono>
#include <cmath>
#include <cstdio>

namespace fpmex::accuracy {
namespace {

constexpr std::size_t blockSize = std::size_t{1} << 16;

enum class Name { log2, log10, exp, sqrt, round };

struct DoubleFunction {
    const char* name;
    Name id;
    int (*mpfrFunction)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
};

// The four sample regions of each function, by k % 4.
const char* const regions[][4] = {
    {"whole range", "whole range", "near 1", "near 1"},
    {"whole range", "whole range", "near 1", "near 1"},
    {"random bits", "[-745.2, 709.8]", "[700, 709.8]", "[-745.2, -700]"},
    {"whole range", "whole range", "whole range", "whole range"},
    {"random bits", "[-2^20, 2^20]", "halves", "near halves"},
};

const DoubleFunction functions[] = {
    {"log2", Name::log2, mpfr_log2},  {"log10", Name::log10, mpfr_log10}, {"exp", Name::exp, mpfr_exp},
    {"sqrt", Name::sqrt, mpfr_sqrt},  {"round", Name::round, nullptr},
};

double randomFinite(Random& random)
{
    for (;;) {
        const double x = doubleOf(random.next());
        if (std::isfinite(x)) {
            return x;
        }
    }
}

double sample(Name id, std::size_t k, Random& random)
{
    const double u = random.uniform();
    switch (id) {
    case Name::log2:
    case Name::log10:
        if (k % 4 < 2) {
            return std::fabs(randomFinite(random));
        }
        return 1.0 + (u - 0.5) * std::ldexp(1.0, -static_cast<int>(random.next() % 60));
    case Name::exp:
        switch (k % 4) {
        case 0: return randomFinite(random);
        case 1: return -745.2 + u * (709.8 + 745.2);
        case 2: return 700.0 + u * 9.8;
        default: return -745.2 + u * 45.2;
        }
    case Name::sqrt:
        return std::fabs(randomFinite(random));
    case Name::round: {
        const double half = std::floor((u - 0.5) * 0x1p21) + 0.5;
        switch (k % 4) {
        case 0: return randomFinite(random);
        case 1: return (u - 0.5) * 0x1p21;
        case 2: return half;
        default: {
            const double ulp = std::nextafter(std::fabs(half), INFINITY) - std::fabs(half);
            return half + static_cast<double>(static_cast<int>(random.next() % 9) - 4) * ulp;
        }
        }
    }
    }
    return 0.0;
}

// floor(x + 1/2) of the exact sum, computed without that sum: x - floor(x)
// is exact. -0.5 gives -0 (its sum is zero under rounding down), every other
// zero result +0.
double roundReference(double x)
{
    if (!std::isfinite(x) || std::fabs(x) >= 0x1p52) {
        return x;
    }
    const double down = std::floor(x);
    const double r = x - down >= 0.5 ? down + 1.0 : down;
    if (r == 0.0) {
        return x == -0.5 ? -0.0 : 0.0;
    }
    return r;
}

void runKernel(Name id, double* out, double* outIm, const double* in, std::size_t count)
{
    switch (id) {
    case Name::log2: logKernelX87<double, LogBase::two>(out, outIm, in, nullptr, count); break;
    case Name::log10: logKernelX87<double, LogBase::ten>(out, outIm, in, nullptr, count); break;
    case Name::exp: expKernelX87<double>(out, nullptr, in, nullptr, count); break;
    case Name::sqrt: sqrtKernelX87(out, outIm, in, nullptr, count); break;
    case Name::round: roundKernelX87(out, nullptr, in, nullptr, count); break;
    }
}

// The unit in the last place of the double nearest the reference value.
double ulpOf(double nearest)
{
    const double magnitude = std::fabs(nearest);
    if (magnitude < 0x1p-1022) {
        return 0x1p-1074;
    }
    int exponent;
    std::frexp(magnitude, &exponent);
    return std::ldexp(1.0, exponent - 53);
}

struct Tally {
    std::uint64_t samples = 0;
    std::uint64_t correct = 0;
    double maxUlps = 0.0;
    double worstInput = 0.0;
};

} // namespace

int runDoubleSampled(const std::vector<std::string>& names, std::uint64_t samples, unsigned threads)
{
    const std::size_t blocks = static_cast<std::size_t>((samples + blockSize - 1) / blockSize);
    int failures = 0;
    for (const DoubleFunction& f : functions) {
        if (!isChosen(names, f.name)) {
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        std::vector<Tally> tallies(threads * 4);
        parallelBlocks(blocks, threads, [&](std::size_t block, unsigned worker) {
            thread_local std::vector<double> in(blockSize), out(blockSize), outIm(blockSize);
            thread_local mpfr_t reference, difference;
            thread_local bool ready = false;
            if (!ready) {
                mpfr_init2(reference, 128);
                mpfr_init2(difference, 128);
                ready = true;
            }
            Random random{0x5EED0000ull + block * 0x100000001ull + static_cast<std::uint64_t>(f.id)};
            for (std::size_t k = 0; k < blockSize; ++k) {
                in[k] = sample(f.id, k, random);
            }
            runKernel(f.id, out.data(), outIm.data(), in.data(), blockSize);
            for (std::size_t k = 0; k < blockSize; ++k) {
                Tally& tally = tallies[worker * 4 + k % 4];
                const double x = in[k];
                double nearest;
                double ulps = 0.0;
                if (f.id == Name::round) {
                    nearest = roundReference(x);
                    if (bitsOf(out[k]) != bitsOf(nearest)) {
                        ulps = INFINITY;
                    }
                } else {
                    mpfr_set_d(reference, x, MPFR_RNDN);
                    f.mpfrFunction(reference, reference, MPFR_RNDN);
                    nearest = mpfr_get_d(reference, MPFR_RNDN);
                    if (std::isinf(nearest) || std::isinf(out[k])) {
                        ulps = out[k] == nearest ? 0.0 : INFINITY;
                    } else {
                        mpfr_set_d(difference, out[k], MPFR_RNDN);
                        mpfr_sub(difference, difference, reference, MPFR_RNDN);
                        // Scaled in MPFR: near the subnormals the error itself
                        // lies below the smallest double.
                        mpfr_mul_2si(difference, difference, -std::ilogb(ulpOf(nearest)), MPFR_RNDN);
                        ulps = std::fabs(mpfr_get_d(difference, MPFR_RNDN));
                    }
                }
                ++tally.samples;
                tally.correct += bitsOf(out[k]) == bitsOf(nearest);
                if (ulps > tally.maxUlps) {
                    tally.maxUlps = ulps;
                    tally.worstInput = x;
                }
            }
        });
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // One line per distinct region, then the whole.
        const char* const* names4 = regions[static_cast<int>(f.id)];
        Tally total;
        for (int region = 0; region <= 4; ++region) {
            Tally sum;
            const char* label = region < 4 ? names4[region] : "all";
            bool first = true;
            for (int r = 0; r < region && region < 4; ++r) {
                first = first && std::string(names4[r]) != label;
            }
            if (!first) {
                continue;
            }
            for (std::size_t t = 0; t < tallies.size(); ++t) {
                if (region < 4 && std::string(names4[t % 4]) != label) {
                    continue;
                }
                sum.samples += tallies[t].samples;
                sum.correct += tallies[t].correct;
                if (tallies[t].maxUlps > sum.maxUlps) {
                    sum.maxUlps = tallies[t].maxUlps;
                    sum.worstInput = tallies[t].worstInput;
                }
            }
            std::printf("%-6s %-16s %10llu samples, %6.3f %% correctly rounded (%llu not), largest error %.6f ulp at "
                        "x = %.17g\n",
                        f.name, label, static_cast<unsigned long long>(sum.samples), 100.0 * sum.correct / sum.samples,
                        static_cast<unsigned long long>(sum.samples - sum.correct), sum.maxUlps, sum.worstInput);
            total = sum;
        }
        std::printf("%-6s %.1f s\n", f.name, seconds);
        std::fflush(stdout);
        failures += total.maxUlps > 1.0;
    }
    return failures == 0 ? 0 : 1;
}

} // namespace fpmex::accuracy
