// The error of the vector kernels' double-double evaluations against MPFR,
// relative to the exact value each stands for, beside the bound its
// contract takes (the windows are built on those bounds, so a figure above
// one is a fault):
//
//   log2        log2Quick(x), the real double logarithm's: log2 x for
//               positive normal x; bound 0.94 * 2^-62;
//   log2-tail   log2Of(x, 0, 0), the complex double logarithm's, on the
//               same inputs; bound 2^-66;
//   exp         expDoubleValue(x) times 2^k against 2^t, t = x log2(e) as
//               the x87 multiplication rounds it (the constant FLDL2E
//               loads, the product to 64 bits), for the elements whose
//               rounding of t the evaluation decides; bound 2^-67.5.
//
// The samples alternate, by sample number k % 2: for the logarithms random
// bit patterns of positive normal doubles, and 1 + d rounded to double, |d|
// log-uniform between 2^-60 and 2^-4, either sign (the table's interval
// around 1, where the result is smallest against the terms that make it);
// for exp x uniform on [-746, 746], and |x| log-uniform between 2^-70 and
// 2^3, either sign. Inputs come in blocks of 65536, block b drawn from a
// generator seeded with b, so a run gives the same figures whatever the
// thread count. The evaluations run at the avx2 level, their code being the
// same at every level with FMA; the references carry 256 bits.
#include "accuracy.h"

#include "common/cpu_level.h"
#include "common/fp_state.h"
#include "elementary/exp_double_constants.h"
#include "logarithms/log_double_constants.h"

#include <mpfr.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <mutex>

#define FPMEX_SIMD_LEVEL avx2
#include "common/simd/level_begin.h"
#include "common/simd/double_double.inl"
#include "logarithms/log_reduction.inl"
#include "logarithms/log_double_evaluation.inl"
#include "elementary/exp_double_evaluation.inl"

namespace fpmex::avx2 {

// The evaluations over count elements, count a multiple of `lanes`; for
// exp, kBits holds k in the exponent field and unsure is 1 where t's
// rounding was not decided.
__attribute__((flatten)) void evaluateLogs(const double* x, double* quickHi, double* quickLo, double* tailHi,
                                           double* tailLo, std::size_t count)
{
    for (std::size_t i = 0; i < count; i += lanes) {
        const Doubles a = loadDoubles(x + i);
        const DoubleDouble quick = log2Quick(a, splat(0.0));
        const DoubleDouble tail = log2Of(a, splat(0.0), splat(0.0));
        storeDoubles(quickHi + i, quick.hi);
        storeDoubles(quickLo + i, quick.lo);
        storeDoubles(tailHi + i, tail.hi);
        storeDoubles(tailLo + i, tail.lo);
    }
}

__attribute__((flatten)) void evaluateExps(const double* x, double* hi, double* lo, double* kBits, double* unsure,
                                           std::size_t count)
{
    for (std::size_t i = 0; i < count; i += lanes) {
        const ExpDoubleValue value = expDoubleValue(loadDoubles(x + i));
        storeDoubles(hi + i, value.w.hi);
        storeDoubles(lo + i, value.w.lo);
        storeDoubles(kBits + i, doublesOf(value.kBits));
        storeDoubles(unsure + i, select(value.unsure, splat(1.0), splat(0.0)));
    }
}

constexpr std::size_t evaluationLanes = lanes;

} // namespace fpmex::avx2
#include "common/simd/level_end.h"

namespace fpmex::accuracy {
namespace {

constexpr std::size_t blockSize = std::size_t{1} << 16;
// A multiple of the level's lanes.
constexpr std::size_t paddedSize = (blockSize + avx2::evaluationLanes - 1) / avx2::evaluationLanes *
                                   avx2::evaluationLanes;
constexpr mpfr_prec_t referenceBits = 256;

struct Worst {
    double error = 0; // relative, as a multiple of 2^-62
    double input = 0;
};

// |(hi + lo) 2^k - exact| / |exact| in units of 2^-62.
double relativeError(double hi, double lo, long k, mpfr_srcptr exact, mpfr_ptr work)
{
    mpfr_set_d(work, hi, MPFR_RNDN);
    mpfr_add_d(work, work, lo, MPFR_RNDN);
    mpfr_mul_2si(work, work, k, MPFR_RNDN);
    mpfr_sub(work, work, exact, MPFR_RNDN);
    mpfr_div(work, work, exact, MPFR_RNDN);
    return std::fabs(mpfr_get_d(work, MPFR_RNDN)) * 0x1p62;
}

void keep(Worst& worst, double error, double input)
{
    if (error > worst.error) {
        worst = {error, input};
    }
}

double logInput(Random& random, std::uint64_t k)
{
    if (k % 2 == 0) {
        for (;;) {
            const std::uint64_t bits = random.next() & 0x7FFFFFFFFFFFFFFFull;
            if ((bits >> 52) != 0 && (bits >> 52) != 0x7FF) {
                return doubleOf(bits);
            }
        }
    }
    const double d = std::exp2(-4.0 - 56.0 * random.uniform());
    return (random.next() & 1) != 0 ? 1.0 - d : 1.0 + d;
}

double expInput(Random& random, std::uint64_t k)
{
    const double x = k % 2 == 0 ? 746.0 * random.uniform() : std::exp2(-70.0 + 73.0 * random.uniform());
    return (random.next() & 1) != 0 ? -x : x;
}

} // namespace

int runEvaluationError(const std::vector<std::string>& cases, std::uint64_t samples, unsigned threads)
{
    if (supportedLevel() < CpuLevel::avx2) {
        std::fprintf(stderr, "evaluations: this processor has no AVX2\n");
        return 2;
    }
    const bool logs = isChosen(cases, "log2") || isChosen(cases, "log2-tail");
    const bool exps = isChosen(cases, "exp");
    const std::uint64_t blocks = (samples + blockSize - 1) / blockSize;
    std::mutex lock;
    Worst quickWorst, tailWorst, expWorst;
    std::uint64_t expCounted = 0;
    parallelBlocks(blocks, threads, [&](std::uint64_t block, unsigned) {
        FpStateGuard guard;
        sseLoadMode(sseVectorMode);
        const std::size_t count =
            static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, samples - block * blockSize));
        std::vector<double> x(paddedSize, 1.5), a(paddedSize), b(paddedSize), c(paddedSize), d(paddedSize);
        mpfr_t exact, work, t, constant;
        mpfr_inits2(referenceBits, exact, work, constant, static_cast<mpfr_ptr>(nullptr));
        mpfr_init2(t, 64);
        Worst quick, tail, exp;
        std::uint64_t counted = 0;
        if (logs) {
            Random random(block);
            for (std::size_t i = 0; i < count; ++i) {
                x[i] = logInput(random, block * blockSize + i);
            }
            avx2::evaluateLogs(x.data(), a.data(), b.data(), c.data(), d.data(), paddedSize);
            for (std::size_t i = 0; i < count; ++i) {
                if (x[i] == 1.0) {
                    continue;
                }
                mpfr_set_d(exact, x[i], MPFR_RNDN);
                mpfr_log2(exact, exact, MPFR_RNDN);
                keep(quick, relativeError(a[i], b[i], 0, exact, work), x[i]);
                keep(tail, relativeError(c[i], d[i], 0, exact, work), x[i]);
            }
        }
        if (exps) {
            Random random(block ^ 0x5DEECE66Dull);
            for (std::size_t i = 0; i < count; ++i) {
                x[i] = expInput(random, block * blockSize + i);
            }
            std::fill(x.begin() + static_cast<std::ptrdiff_t>(count), x.end(), 1.0);
            avx2::evaluateExps(x.data(), a.data(), b.data(), c.data(), d.data(), paddedSize);
            // FLDL2E's value: log2(e) to 64 bits, 0xB8AA3B295C17F0BC * 2^-63.
            mpfr_set_ui_2exp(constant, 0xB8AA3B295C17F0BCul, -63, MPFR_RNDN);
            for (std::size_t i = 0; i < count; ++i) {
                if (d[i] != 0.0) {
                    continue;
                }
                mpfr_set_d(work, x[i], MPFR_RNDN);
                mpfr_mul(t, work, constant, MPFR_RNDN);
                mpfr_exp2(exact, t, MPFR_RNDN);
                const long k = static_cast<long>(std::bit_cast<std::int64_t>(c[i]) >> 52);
                keep(exp, relativeError(a[i], b[i], k, exact, work), x[i]);
                ++counted;
            }
        }
        mpfr_clears(exact, work, t, constant, static_cast<mpfr_ptr>(nullptr));
        const std::lock_guard<std::mutex> held(lock);
        keep(quickWorst, quick.error, quick.input);
        keep(tailWorst, tail.error, tail.input);
        keep(expWorst, exp.error, exp.input);
        expCounted += counted;
    });
    std::printf("largest relative error, in units of 2^-62, over %llu samples a case:\n",
                static_cast<unsigned long long>(samples));
    if (isChosen(cases, "log2")) {
        std::printf("  log2       %.4f at %a (bound 0.94)\n", quickWorst.error, quickWorst.input);
    }
    if (isChosen(cases, "log2-tail")) {
        std::printf("  log2-tail  %.4f at %a (bound 2^-4 = 0.0625)\n", tailWorst.error, tailWorst.input);
    }
    if (exps) {
        std::printf("  exp        %.4f at %a (bound 2^-5.5 = 0.0221; %llu decided samples)\n", expWorst.error,
                    expWorst.input, static_cast<unsigned long long>(expCounted));
    }
    return 0;
}

} // namespace fpmex::accuracy
