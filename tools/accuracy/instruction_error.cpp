// The error of the x87 instructions the logarithm and exponential kernels are
// built on, against MPFR, in units of the last place of the extended result:
// ulp = 2^(e - 63) where 2^e <= |exact| < 2^(e + 1). The kernels' own error
// budgets start from these figures, so they are measured here on the
// instruction alone, under the control word the kernels compute under (round
// to nearest, 64-bit significand).
//
//   FYL2X(1, x)    log2(x) for positive finite doubles x;
//   FYL2X(lg2, x)  the same x times the constant FLDLG2 loads (log10 as the
//                  kernels form it); exact: that extended value times log2(x);
//   F2XM1(f)       2^f - 1 for extended f, |f| <= 1/2.
//
// The samples alternate between two regions, by sample number k % 2:
//   FYL2X: random bit patterns of positive finite doubles (every binade,
//          subnormals included, equally likely); 1 + d rounded to double,
//          |d| log-uniform between 2^-60 and 2^-1, either sign (below 2^-53
//          the sum rounds to 1 or to 1 - 2^-53: doubles go no closer);
//   F2XM1: f uniform on [-1/2, 1/2] with all 64 significand bits random;
//          |f| log-uniform between 2^-70 and 2^-1, either sign, all 64 bits
//          random too.
// Inputs come in blocks of 65536, block b drawn from a generator seeded with
// b, and the input kept for the largest error is the first by sample number
// among equal errors, so a run gives the same figures whatever the thread
// count.
//
// The references carry 256 bits. 2^f - 1 loses up to 71 bits to the
// cancellation (|2^f - 1| > 2^-71), so 2^f is taken with 71 more. A result
// is correctly rounded when it equals the reference rounded once to 64 bits;
// the reference is then off only if the exact value lies within 2^-250 or so
// of a rounding boundary, which no sample here comes near.
#include "accuracy.h"

#include "common/fp_state.h"
#include "common/x87.h"

#include <mpfr.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

namespace fpmex::accuracy {
namespace {

using x87::Extended;

constexpr std::size_t blockSize = std::size_t{1} << 16;
constexpr mpfr_prec_t referenceBits = 256;
constexpr mpfr_prec_t exp2Bits = referenceBits + 71;

static_assert(sizeof(unsigned long) == 8, "mpfr_set_ui_2exp takes the whole significand");

// The value FLDLG2 loads under round to nearest: log10(2) to 64 bits.
const Extended lg2 = x87::fromBits(0x3FFD, 0x9A209A84FBCFF799);

// An extended value into MPFR exactly, from its fields (no long double
// arithmetic on the way).
void setExtended(mpfr_ptr target, Extended value)
{
    const std::uint16_t word = x87::signExponentOf(value);
    const std::uint64_t significand = x87::significandOf(value);
    const int field = word & 0x7FFF;
    if (field == 0x7FFF) {
        if ((significand << 1) == 0) {
            mpfr_set_inf(target, (word & 0x8000) != 0 ? -1 : 1);
        } else {
            mpfr_set_nan(target);
        }
        return;
    }
    // Denormals share the exponent of the smallest normal binade.
    const long exponent = (field == 0 ? 1 : field) - 16383 - 63;
    mpfr_set_ui_2exp(target, significand, exponent, MPFR_RNDN);
    if ((word & 0x8000) != 0) {
        mpfr_neg(target, target, MPFR_RNDN);
    }
}

double positiveFinite(Random& random)
{
    for (;;) {
        const std::uint64_t bits = random.next() & 0x7FFFFFFFFFFFFFFFull;
        if (bits != 0 && (bits >> 52) != 0x7FF) {
            return doubleOf(bits);
        }
    }
}

double nearOne(Random& random)
{
    const double d = std::exp2(-1.0 - 59.0 * random.uniform());
    return (random.next() & 1) != 0 ? 1.0 - d : 1.0 + d;
}

Extended withSign(Random& random, std::uint16_t exponentField, std::uint64_t significand)
{
    const std::uint16_t sign = (random.next() & 1) != 0 ? 0x8000 : 0;
    return x87::fromBits(static_cast<std::uint16_t>(sign | exponentField), significand);
}

// Uniform on [-1/2, 1/2]: the leading zeros of a random word pick the binade
// below 1/2 (each as likely as its width), fresh bits fill the significand
// below the word's own.
Extended uniformHalf(Random& random)
{
    std::uint64_t word;
    do {
        word = random.next();
    } while (word == 0);
    const int zeros = std::countl_zero(word);
    std::uint64_t significand = word << zeros;
    if (zeros > 0) {
        significand |= random.next() >> (64 - zeros);
    }
    return withSign(random, static_cast<std::uint16_t>(0x3FFF - 2 - zeros), significand);
}

// |f| = 2^t, t uniform on [-70, -1): the fraction of t gives the leading 53
// significand bits, random bits the other 11.
Extended logUniformSmall(Random& random)
{
    const double t = -70.0 + 69.0 * random.uniform();
    const double binade = std::floor(t);
    const double leading = std::min(std::exp2(t - binade), std::nextafter(2.0, 0.0));
    const std::uint64_t significand = static_cast<std::uint64_t>(std::ldexp(leading, 63)) | (random.next() & 0x7FF);
    return withSign(random, static_cast<std::uint16_t>(0x3FFF + static_cast<int>(binade)), significand);
}

struct Tally {
    std::uint64_t samples = 0;
    std::uint64_t notCorrect = 0;
    double maxUlps = -1.0;
    std::uint64_t worstIndex = 0;
    Extended worstInput = 0.0L;

    void note(double ulps, std::uint64_t index, Extended input)
    {
        if (ulps > maxUlps || (ulps == maxUlps && index < worstIndex)) {
            maxUlps = ulps;
            worstIndex = index;
            worstInput = input;
        }
    }
    void add(const Tally& other)
    {
        samples += other.samples;
        notCorrect += other.notCorrect;
        if (other.samples != 0) {
            note(other.maxUlps, other.worstIndex, other.worstInput);
        }
    }
};

// The comparison of one result with its reference, with the MPFR variables
// of one thread.
struct Judge {
    mpfr_t result, rounded, difference;
    Judge()
    {
        mpfr_init2(result, 64);
        mpfr_init2(rounded, 64);
        mpfr_init2(difference, referenceBits);
    }
    ~Judge()
    {
        mpfr_clears(result, rounded, difference, static_cast<mpfr_ptr>(nullptr));
    }
    Judge(const Judge&) = delete;
    Judge& operator=(const Judge&) = delete;

    void judge(Tally& tally, Extended value, mpfr_srcptr exact, std::uint64_t index, Extended input)
    {
        setExtended(result, value);
        bool correct;
        double ulps;
        if (!mpfr_number_p(result)) {
            correct = false;
            ulps = std::numeric_limits<double>::infinity();
        } else if (mpfr_zero_p(exact)) {
            // log2(1): only +0 is right, and it has no ulp to be measured in.
            correct = mpfr_zero_p(result) && !x87::signOf(value);
            ulps = mpfr_zero_p(result) ? 0.0 : std::numeric_limits<double>::infinity();
        } else {
            mpfr_set(rounded, exact, MPFR_RNDN);
            correct = mpfr_equal_p(rounded, result) != 0;
            // |exact| lies in [2^(E-1), 2^E) for MPFR's exponent E, so the
            // ulp is 2^(E-64); the scaling is exact.
            mpfr_sub(difference, result, exact, MPFR_RNDN);
            mpfr_mul_2si(difference, difference, 64 - mpfr_get_exp(exact), MPFR_RNDN);
            ulps = std::fabs(mpfr_get_d(difference, MPFR_RNDN));
        }
        ++tally.samples;
        tally.notCorrect += !correct;
        tally.note(ulps, index, input);
    }
};

void printRow(const char* name, const char* region, const Tally& t)
{
    if (t.samples == 0) {
        std::printf("%-13s %-23s %10d samples\n", name, region, 0);
        return;
    }
    std::printf("%-13s %-23s %10llu samples, largest error %.6f ulp, %.4f %% not correctly rounded (%llu), at %La "
                "(%.21Lg)\n",
                name, region, static_cast<unsigned long long>(t.samples), t.maxUlps, 100.0 * t.notCorrect / t.samples,
                static_cast<unsigned long long>(t.notCorrect), t.worstInput, t.worstInput);
}

void printCase(const char* name, const char* const regions[2], const std::vector<Tally>& tallies)
{
    Tally total;
    for (int region = 0; region < 2; ++region) {
        Tally sum;
        for (std::size_t t = region; t < tallies.size(); t += 2) {
            sum.add(tallies[t]);
        }
        printRow(name, regions[region], sum);
        total.add(sum);
    }
    printRow(name, "all", total);
}

// Runs measure(block, first, count, worker) over the blocks of `samples`
// on `threads` threads, each block under the kernels' x87 state.
template <class Measure>
void forBlocks(std::uint64_t samples, unsigned threads, const Measure& measure)
{
    const std::uint64_t blocks = (samples + blockSize - 1) / blockSize;
    parallelBlocks(blocks, threads, [&](std::uint64_t block, unsigned worker) {
        FpStateGuard guard;
        x87Reset();
        const std::uint64_t first = block * blockSize;
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize, samples - first));
        measure(block, first, count, worker);
    });
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int runInstructionError(std::uint64_t samples, unsigned threads)
{
    const char* const logRegions[2] = {"whole range", "near 1"};
    const char* const expRegions[2] = {"uniform [-1/2, 1/2]", "log-uniform 2^-70..2^-1"};

    // Both FYL2X cases on the same inputs, sharing the exact log2(x).
    {
        const auto start = std::chrono::steady_clock::now();
        std::vector<Tally> plain(threads * 2), scaled(threads * 2);
        forBlocks(samples, threads, [&](std::uint64_t block, std::uint64_t first, std::size_t count, unsigned worker) {
            thread_local Judge judge;
            thread_local struct References {
                mpfr_t log2, scaled, constant;
                References()
                {
                    mpfr_inits2(referenceBits, log2, scaled, static_cast<mpfr_ptr>(nullptr));
                    mpfr_init2(constant, 64);
                    setExtended(constant, lg2);
                }
                ~References() { mpfr_clears(log2, scaled, constant, static_cast<mpfr_ptr>(nullptr)); }
            } exact;
            Random random{0x5EED1000ull + block * 0x100000001ull};
            for (std::size_t k = 0; k < count; ++k) {
                const double x = k % 2 == 0 ? positiveFinite(random) : nearOne(random);
                const Extended input = x87::load(x);
                const Extended one = x87::fyl2x(1.0L, input);
                const Extended times = x87::fyl2x(lg2, input);
                mpfr_set_d(exact.log2, x, MPFR_RNDN);
                mpfr_log2(exact.log2, exact.log2, MPFR_RNDN);
                mpfr_mul(exact.scaled, exact.log2, exact.constant, MPFR_RNDN);
                const std::uint64_t index = first + k;
                judge.judge(plain[worker * 2 + k % 2], one, exact.log2, index, input);
                judge.judge(scaled[worker * 2 + k % 2], times, exact.scaled, index, input);
            }
        });
        printCase("FYL2X(1, x)", logRegions, plain);
        printCase("FYL2X(lg2, x)", logRegions, scaled);
        std::printf("FYL2X %.1f s\n", secondsSince(start));
        std::fflush(stdout);
    }
    {
        const auto start = std::chrono::steady_clock::now();
        std::vector<Tally> tallies(threads * 2);
        forBlocks(samples, threads, [&](std::uint64_t block, std::uint64_t first, std::size_t count, unsigned worker) {
            thread_local Judge judge;
            thread_local struct References {
                mpfr_t power, minusOne;
                References()
                {
                    mpfr_init2(power, exp2Bits);
                    mpfr_init2(minusOne, referenceBits);
                }
                ~References() { mpfr_clears(power, minusOne, static_cast<mpfr_ptr>(nullptr)); }
            } exact;
            Random random{0x5EED2000ull + block * 0x100000001ull};
            for (std::size_t k = 0; k < count; ++k) {
                const Extended f = k % 2 == 0 ? uniformHalf(random) : logUniformSmall(random);
                const Extended result = x87::f2xm1(f);
                setExtended(exact.power, f);
                mpfr_exp2(exact.power, exact.power, MPFR_RNDN);
                mpfr_sub_ui(exact.minusOne, exact.power, 1, MPFR_RNDN);
                judge.judge(tallies[worker * 2 + k % 2], result, exact.minusOne, first + k, f);
            }
        });
        printCase("F2XM1(f)", expRegions, tallies);
        std::printf("F2XM1 %.1f s\n", secondsSince(start));
        std::fflush(stdout);
    }
    return 0;
}

} // namespace fpmex::accuracy
