// Every single bit pattern through the x87 reference kernels of the single
// set (real input), each result compared bit for bit with the correctly
// rounded value. The vector variants are shown equal to these references by
// fpmex_variants_exhaustive.
//
// The reference is glibc's double function, rounded to single, whenever that
// rounding is certain (test::certainSingle): glibc's log2, log, log10 and exp
// of a double are within a few units in the last place of a double (2^-52
// relative), so the exact value lies in [d - |d| 2^-40, d + |d| 2^-40], a
// window thousands of double ulps wide. Rounding to nearest is monotonic, so
// when both ends of the window round to the same single, that single is the
// correctly rounded value.
// Otherwise the result is near a single rounding boundary and MPFR computes it
// with 200 bits before rounding once to single (a transcendental value of a
// single argument lies nowhere near 2^-200 of a boundary, so that rounding is
// correct). Special values follow the functions' rules (see docs/accuracy.md).
#include "accuracy.h"

#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "logarithms/log_constants.h"
#include "logarithms/log_kernel.h"

#include <mpfr.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>

namespace fpmex::accuracy {
namespace {

constexpr std::size_t blockSize = std::size_t{1} << 16; // the harness's blocks

enum class Kind { logarithm, exponential, floorDown };

struct SingleFunction {
    const char* name;
    Kind kind;
    int (*kernel)(float*, float*, const float*, const float*, std::size_t);
    double (*libm)(double);
    int (*mpfrFunction)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
    std::uint32_t negativeImag; // P of the logarithms
};

template <LogBase base>
int logOf(float* outRe, float* outIm, const float* inRe, const float*, std::size_t count)
{
    return logKernelX87<float, base>(outRe, outIm, inRe, nullptr, count);
}
int expOf(float* outRe, float*, const float* inRe, const float*, std::size_t count)
{
    expKernelX87<float>(outRe, nullptr, inRe, nullptr, count);
    return 0;
}
int floorOf(float* outRe, float*, const float* inRe, const float*, std::size_t count)
{
    floorKernelX87(outRe, nullptr, inRe, nullptr, count);
    return 0;
}

constexpr auto P = TypedLogConstants<float>::P;

const SingleFunction functions[] = {
    {"log2", Kind::logarithm, logOf<LogBase::two>, std::log2, mpfr_log2, P[0]},
    {"log", Kind::logarithm, logOf<LogBase::natural>, std::log, mpfr_log, P[1]},
    {"log10", Kind::logarithm, logOf<LogBase::ten>, std::log10, mpfr_log10, P[2]},
    {"exp", Kind::exponential, expOf, std::exp, mpfr_exp, 0},
    {"floor", Kind::floorDown, floorOf, std::floor, nullptr, 0},
};

float correctlyRounded(const SingleFunction& f, float x, std::uint64_t& mpfrCalls)
{
    const double d = f.libm(static_cast<double>(x));
    float rounded;
    if (std::isinf(d) || d == 0.0 || f.kind == Kind::floorDown) {
        return static_cast<float>(d);
    }
    if (test::certainSingle(d, 0x1p-40, rounded)) {
        return rounded;
    }
    ++mpfrCalls;
    mpfr_t value;
    mpfr_init2(value, 200);
    mpfr_set_flt(value, x, MPFR_RNDN);
    f.mpfrFunction(value, value, MPFR_RNDN);
    const float result = mpfr_get_flt(value, MPFR_RNDN);
    mpfr_clear(value);
    return result;
}

// The expected real and imaginary bits of f at the pattern `bits`.
void expected(const SingleFunction& f, std::uint32_t bits, std::uint64_t& mpfrCalls, std::uint32_t& re,
              std::uint32_t& im)
{
    const float x = floatOf(bits);
    const bool negative = (bits >> 31) != 0;
    im = 0;
    if (std::isnan(x)) {
        re = bits | 0x00400000u; // comes out quiet
        if (f.kind == Kind::logarithm) {
            re &= 0x7FFFFFFFu;
            im = re;
        }
        return;
    }
    if (f.kind == Kind::logarithm) {
        re = bitsOf(x == 0.0f ? -INFINITY : correctlyRounded(f, std::fabs(x), mpfrCalls));
        im = negative && x != 0.0f ? f.negativeImag : 0;
        return;
    }
    re = bitsOf(correctlyRounded(f, x, mpfrCalls));
}

struct Tally {
    std::uint64_t mismatches = 0;
    std::uint64_t mpfrCalls = 0;
    std::vector<std::uint32_t> firstInputs;
};

} // namespace

int runSingleExhaustive(const std::vector<std::string>& names, unsigned threads)
{
    int failures = 0;
    for (const SingleFunction& f : functions) {
        if (!isChosen(names, f.name)) {
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        std::vector<Tally> tallies(threads);
        std::mutex printing;
        std::vector<std::vector<float>> outRe(threads, std::vector<float>(blockSize));
        std::vector<std::vector<float>> outIm(threads, std::vector<float>(blockSize));
        test::forSinglePatterns(0, 1, threads, [&](const float* in, std::size_t n, unsigned worker) {
            f.kernel(outRe[worker].data(), outIm[worker].data(), in, nullptr, n);
            Tally& tally = tallies[worker];
            for (std::size_t k = 0; k < n; ++k) {
                std::uint32_t re, im;
                const std::uint32_t bits = bitsOf(in[k]);
                expected(f, bits, tally.mpfrCalls, re, im);
                const bool imagOk = f.kind != Kind::logarithm || bitsOf(outIm[worker][k]) == im;
                if (bitsOf(outRe[worker][k]) == re && imagOk) {
                    continue;
                }
                if (++tally.mismatches <= 5) {
                    std::lock_guard<std::mutex> lock(printing);
                    std::printf("  %s mismatch: x %08X (%.9g): got %08X %08X, want %08X %08X\n", f.name, bits,
                                static_cast<double>(floatOf(bits)), bitsOf(outRe[worker][k]),
                                bitsOf(outIm[worker][k]), re, im);
                }
            }
        });
        Tally total;
        for (const Tally& t : tallies) {
            total.mismatches += t.mismatches;
            total.mpfrCalls += t.mpfrCalls;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-6s 4294967296 inputs, %llu mismatches, %llu sent to MPFR, %.1f s\n", f.name,
                    static_cast<unsigned long long>(total.mismatches),
                    static_cast<unsigned long long>(total.mpfrCalls), seconds);
        std::fflush(stdout);
        failures += total.mismatches != 0;
    }
    return failures == 0 ? 0 : 1;
}

} // namespace fpmex::accuracy
