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
//   F2XM1(f)       2^f - 1 for extended f, |f| <= 1/2;
//   FSINCOS(a)     cos(a) and sin(a) for extended a, |a| <= 2*pi (rounded to
//                  extended): the complex exponential hands it the remainder
//                  of y by its period scaled onto 2*pi, never more. Near a
//                  multiple of pi/2 one of the two is tiny and its error in
//                  its own ulps says little about the angle, so these two are
//                  also measured in the absolute unit 2^-64, and by how far
//                  that error exceeds half an ulp of the extended result: the
//                  share of the final rounding, which a kernel bounding the
//                  error from the result it holds can count apart;
//   FPATAN(y, x)   atan2(y, x) for finite nonzero doubles y and x: the angle
//                  of the complex logarithm;
//   FYL2XP1(h, r)  h*log2(1 + r) for extended 0 < r <= 2^-9 and the two
//                  multipliers of log2 and log10 of a magnitude, h = 1/2 and
//                  h = lg2/2 (the extended value the kernels hold); exact:
//                  that h times log2(1 + r). The complex logarithm of doubles
//                  adds it to the log of the larger part when r, the ratio of
//                  the squares of the parts, falls below 2^-9.
//
// The samples alternate between two regions, by sample number k % 2:
//   FYL2X: random bit patterns of positive finite doubles (every binade,
//          subnormals included, equally likely); 1 + d rounded to double,
//          |d| log-uniform between 2^-60 and 2^-1, either sign (below 2^-53
//          the sum rounds to 1 or to 1 - 2^-53: doubles go no closer);
//   F2XM1: f uniform on [-1/2, 1/2] with all 64 significand bits random;
//          |f| log-uniform between 2^-70 and 2^-1, either sign, all 64 bits
//          random too;
//   FSINCOS: a uniform on [-2*pi, 2*pi] with all 64 significand bits random;
//          a = m + d rounded to extended, m = j*pi/2 rounded to extended for
//          j uniform in -4 .. 4, |d| log-uniform between 2^-60 and 2^-20, of
//          either sign but towards zero for j = +-4 (the range ends there);
//   FPATAN: both random bit patterns of finite nonzero doubles with random
//          signs (so |y/x| is mostly far from 1); near the axes and
//          diagonals: x in [1, 2) times 2^e, e uniform in -60 .. 60, and
//          y = x*q rounded to double, q log-uniform between 2^-60 and 2^60,
//          or for one pair in four q = 1 +- d rounded to double, d
//          log-uniform between 2^-60 and 2^-20; signs random;
//   FYL2XP1: r uniform on (0, 2^-9] with all 64 significand bits random;
//          r log-uniform between 2^-70 and 2^-9.
// Inputs come in blocks of 65536, block b drawn from a generator seeded with
// b, and the input kept for the largest error is the first by sample number
// among equal errors, so a run gives the same figures whatever the thread
// count.
//
// The references carry 256 bits. 2^f - 1 loses up to 71 bits to the
// cancellation (|2^f - 1| > 2^-71), so 2^f is taken with 71 more; MPFR's cos
// and sin are correctly rounded however close a lies to a zero of them. A
// result is correctly rounded when it equals the reference rounded once to 64
// bits; the reference is then off only if the exact value lies within 2^-250
// or so of a rounding boundary, which no sample here comes near. MPFR's atan2
// and log2p1 are correctly rounded too.
#include "accuracy.h"

#include "common/fp_state.h"
#include "common/x87.h"

#include <mpfr.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iterator>
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
// Half of it, exactly: the multiplier of log2(1 + r) for log10.
const Extended halfLg2 = x87::fromBits(0x3FFC, 0x9A209A84FBCFF799);

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

double finiteNonzero(Random& random)
{
    for (;;) {
        const std::uint64_t bits = random.next();
        if ((bits & 0x7FFFFFFFFFFFFFFFull) != 0 && ((bits >> 52) & 0x7FF) != 0x7FF) {
            return doubleOf(bits);
        }
    }
}

struct Operands {
    double y, x;
};

// Pairs whose angle lies near 0, +-pi/2, +-pi (|y/x| from 2^-60 to 2^60) or,
// one in four, near +-pi/4, +-3pi/4 (|y| and |x| within a factor 1 +- 2^-20,
// equal when 1 +- d rounds to 1), both parts of moderate magnitude.
Operands nearAxesOrDiagonal(Random& random)
{
    const int e = static_cast<int>(random.next() % 121) - 60;
    const double x = std::ldexp(doubleOf(0x3FF0000000000000ull | (random.next() >> 12)), e);
    double q;
    if (random.next() % 4 == 0) {
        const double d = std::exp2(-20.0 - 40.0 * random.uniform());
        q = (random.next() & 1) != 0 ? 1.0 - d : 1.0 + d;
    } else {
        q = std::exp2(-60.0 + 120.0 * random.uniform());
    }
    const double y = x * q;
    const bool negativeY = (random.next() & 1) != 0;
    const bool negativeX = (random.next() & 1) != 0;
    return {negativeY ? -y : y, negativeX ? -x : x};
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

// Uniform on [-2^(p+1), 2^(p+1)] for the binade [2^p, 2^(p+1)) whose
// exponent field is `top`: the leading zeros of a random word pick the binade
// (each as likely as its width), fresh bits fill the significand below the
// word's own.
Extended uniformBelow(Random& random, std::uint16_t top)
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
    return withSign(random, static_cast<std::uint16_t>(top - zeros), significand);
}

Extended uniformHalf(Random& random)
{
    return uniformBelow(random, 0x3FFF - 2);
}

// |f| = 2^t, t uniform on [low, high): the fraction of t gives the leading 53
// significand bits, random bits the other 11.
Extended logUniform(Random& random, double low, double high)
{
    const double t = low + (high - low) * random.uniform();
    const double binade = std::floor(t);
    const double leading = std::min(std::exp2(t - binade), std::nextafter(2.0, 0.0));
    const std::uint64_t significand = static_cast<std::uint64_t>(std::ldexp(leading, 63)) | (random.next() & 0x7FF);
    return withSign(random, static_cast<std::uint16_t>(0x3FFF + static_cast<int>(binade)), significand);
}

Extended logUniformSmall(Random& random)
{
    return logUniform(random, -70.0, -1.0);
}

// The multiples j*pi/2, j = -4 .. 4, each rounded once to extended.
struct QuarterTurns {
    Extended multiple[9];
    QuarterTurns()
    {
        mpfr_t pi, rounded;
        mpfr_init2(pi, referenceBits);
        mpfr_init2(rounded, 64);
        mpfr_const_pi(pi, MPFR_RNDN);
        for (int j = -4; j <= 4; ++j) {
            mpfr_mul_si(rounded, pi, j, MPFR_RNDN);
            mpfr_div_2ui(rounded, rounded, 1, MPFR_RNDN);
            // Exact: 64 bits fit the extended significand.
            multiple[j + 4] = mpfr_get_ld(rounded, MPFR_RNDN);
        }
        mpfr_clears(pi, rounded, static_cast<mpfr_ptr>(nullptr));
    }
};

// Uniform on [-2*pi, 2*pi]: uniform below 8 in magnitude, kept when within.
Extended uniformTurn(Random& random, const QuarterTurns& turns)
{
    const Extended twoPi = turns.multiple[8];
    for (;;) {
        const Extended a = uniformBelow(random, 0x3FFF + 2);
        if (a <= twoPi && a >= -twoPi) {
            return a;
        }
    }
}

// Within 2^-20 of a multiple of pi/2, and no further out than 2*pi. The sum
// is rounded once, in MPFR (sum carries 64 bits), to extended.
Extended nearQuarterTurn(Random& random, const QuarterTurns& turns, mpfr_ptr sum, mpfr_ptr offset)
{
    const int j = static_cast<int>(random.next() % 9) - 4;
    Extended d = logUniform(random, -60.0, -20.0);
    if ((j == 4 && !x87::signOf(d)) || (j == -4 && x87::signOf(d))) {
        d = -d;
    }
    setExtended(sum, turns.multiple[j + 4]);
    setExtended(offset, d);
    mpfr_add(sum, sum, offset, MPFR_RNDN);
    return mpfr_get_ld(sum, MPFR_RNDN);
}

// The largest of one error measure and the input it came from (with the
// second operand, x, of an instruction of two).
struct Largest {
    // Below any measure: the error beyond the final rounding is negative
    // where the rounding alone bounds the error.
    double error = -std::numeric_limits<double>::infinity();
    std::uint64_t index = 0;
    Extended input = 0.0L;
    Extended other = 0.0L;

    void note(double value, std::uint64_t at, Extended from, Extended fromOther)
    {
        if (value > error || (value == error && at < index)) {
            error = value;
            index = at;
            input = from;
            other = fromOther;
        }
    }
};

struct Tally {
    std::uint64_t samples = 0;
    std::uint64_t notCorrect = 0;
    Largest ulps;
    // |result - exact| in units of 2^-64.
    Largest absolute;
    // |result - exact| - ulp(result)/2 in units of 2^-64, ulp(result) the
    // extended ulp of the binade of the result itself; for a zero result,
    // the error alone.
    Largest beyondRounding;

    void add(const Tally& other)
    {
        samples += other.samples;
        notCorrect += other.notCorrect;
        if (other.samples != 0) {
            ulps.note(other.ulps.error, other.ulps.index, other.ulps.input, other.ulps.other);
            absolute.note(other.absolute.error, other.absolute.index, other.absolute.input, other.absolute.other);
            beyondRounding.note(other.beyondRounding.error, other.beyondRounding.index, other.beyondRounding.input,
                                other.beyondRounding.other);
        }
    }
};

// The comparison of one result with its reference, with the MPFR variables
// of one thread.
struct Judge {
    mpfr_t result, rounded, difference, halfUlp, excess;
    Judge()
    {
        mpfr_init2(result, 64);
        mpfr_init2(rounded, 64);
        mpfr_init2(difference, referenceBits);
        mpfr_init2(halfUlp, 2);
        // Room for the difference less a power of two up to 2^256 times it:
        // exact for all but errors that small, which the double rounds away.
        mpfr_init2(excess, 2 * referenceBits);
    }
    ~Judge()
    {
        mpfr_clears(result, rounded, difference, halfUlp, excess, static_cast<mpfr_ptr>(nullptr));
    }
    Judge(const Judge&) = delete;
    Judge& operator=(const Judge&) = delete;

    void judge(Tally& tally, Extended value, mpfr_srcptr exact, std::uint64_t index, Extended input,
               Extended other = 0.0L)
    {
        setExtended(result, value);
        bool correct;
        double ulps;
        double absolute;
        double beyondRounding;
        if (!mpfr_number_p(result)) {
            correct = false;
            ulps = std::numeric_limits<double>::infinity();
            absolute = ulps;
            beyondRounding = ulps;
        } else {
            mpfr_sub(difference, result, exact, MPFR_RNDN);
            mpfr_mul_2si(difference, difference, 64, MPFR_RNDN);
            absolute = std::fabs(mpfr_get_d(difference, MPFR_RNDN));
            mpfr_abs(excess, difference, MPFR_RNDN);
            if (!mpfr_zero_p(result)) {
                // |result| lies in [2^(E-1), 2^E) for MPFR's exponent E, a
                // power of two at the bottom of its binade included, so half
                // its ulp is 2^(E-65), 2^(E-1) in units of 2^-64; denormals
                // are spaced as the smallest normal binade.
                const mpfr_exp_t binade = std::max<mpfr_exp_t>(mpfr_get_exp(result), -16381);
                mpfr_set_ui_2exp(halfUlp, 1, binade - 1, MPFR_RNDN);
                mpfr_sub(excess, excess, halfUlp, MPFR_RNDN);
            }
            beyondRounding = mpfr_get_d(excess, MPFR_RNDN);
            if (mpfr_zero_p(exact)) {
                // log2(1): only +0 is right, and it has no ulp to be measured in.
                correct = mpfr_zero_p(result) && !x87::signOf(value);
                ulps = mpfr_zero_p(result) ? 0.0 : std::numeric_limits<double>::infinity();
            } else {
                mpfr_set(rounded, exact, MPFR_RNDN);
                correct = mpfr_equal_p(rounded, result) != 0;
                // |exact| lies in [2^(E-1), 2^E) for MPFR's exponent E, so
                // the ulp is 2^(E-64); the scalings are exact.
                mpfr_mul_2si(difference, difference, -mpfr_get_exp(exact), MPFR_RNDN);
                ulps = std::fabs(mpfr_get_d(difference, MPFR_RNDN));
            }
        }
        ++tally.samples;
        tally.notCorrect += !correct;
        tally.ulps.note(ulps, index, input, other);
        tally.absolute.note(absolute, index, input, other);
        tally.beyondRounding.note(beyondRounding, index, input, other);
    }
};

// A region without samples: its line says so, and true.
bool printedEmpty(const char* name, const char* region, const Tally& t)
{
    if (t.samples != 0)
        return false;
    std::printf("%-17s %-23s %10d samples\n", name, region, 0);
    return true;
}

// The largest error and where it was; pair: an instruction of two
// operands, both printed, y first.
void printLargest(const char* name, const char* region, const Tally& t, bool pair)
{
    if (printedEmpty(name, region, t))
        return;
    std::printf("%-17s %-23s %10llu samples, largest error %.6f ulp, %.4f %% not correctly rounded (%llu), ", name,
                region, static_cast<unsigned long long>(t.samples), t.ulps.error, 100.0 * t.notCorrect / t.samples,
                static_cast<unsigned long long>(t.notCorrect));
    if (pair)
        std::printf("at y = %La, x = %La (%.17Lg, %.17Lg)\n", t.ulps.input, t.ulps.other, t.ulps.input, t.ulps.other);
    else
        std::printf("at %La (%.21Lg)\n", t.ulps.input, t.ulps.input);
}

void printRow(const char* name, const char* region, const Tally& t) { printLargest(name, region, t, false); }
void printPairRow(const char* name, const char* region, const Tally& t) { printLargest(name, region, t, true); }

// For results that come near zero: the absolute error first, and the input
// of each largest error; last the largest error beyond the final rounding.
void printAngleRow(const char* name, const char* region, const Tally& t)
{
    if (printedEmpty(name, region, t))
        return;
    std::printf("%-17s %-23s %10llu samples, largest error %.6f x 2^-64 at %La (%.21Lg), %.6g ulp at %La "
                "(%.21Lg), %.4f %% not correctly rounded (%llu), beyond rounding %.6f x 2^-64 at %La (%.21Lg)\n",
                name, region, static_cast<unsigned long long>(t.samples), t.absolute.error, t.absolute.input,
                t.absolute.input, t.ulps.error, t.ulps.input, t.ulps.input, 100.0 * t.notCorrect / t.samples,
                static_cast<unsigned long long>(t.notCorrect), t.beyondRounding.error, t.beyondRounding.input,
                t.beyondRounding.input);
}

void printCase(const char* name, const char* const regions[2], const std::vector<Tally>& tallies,
               void (*print)(const char*, const char*, const Tally&) = printRow)
{
    Tally total;
    for (int region = 0; region < 2; ++region) {
        Tally sum;
        for (std::size_t t = region; t < tallies.size(); t += 2) {
            sum.add(tallies[t]);
        }
        print(name, regions[region], sum);
        total.add(sum);
    }
    print(name, "all", total);
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

// cos and sin from one FSINCOS of each argument(random, k, sum, offset),
// each against its own reference, tallied by region k % 2 (sum and offset
// are scratch values of 64 bits for the argument's own rounding).
template <class Argument>
void measureSinCos(std::uint64_t samples, unsigned threads, std::uint64_t seed, std::vector<Tally>& cosines,
                   std::vector<Tally>& sines, Argument argument)
{
    forBlocks(samples, threads, [&](std::uint64_t block, std::uint64_t first, std::size_t count, unsigned worker) {
        thread_local Judge judge;
        thread_local struct References {
            mpfr_t argument, cos, sin, sum, offset;
            References()
            {
                mpfr_inits2(referenceBits, cos, sin, static_cast<mpfr_ptr>(nullptr));
                mpfr_inits2(64, argument, sum, offset, static_cast<mpfr_ptr>(nullptr));
            }
            ~References() { mpfr_clears(argument, cos, sin, sum, offset, static_cast<mpfr_ptr>(nullptr)); }
        } exact;
        Random random{seed + block * 0x100000001ull};
        for (std::size_t k = 0; k < count; ++k) {
            const Extended a = argument(random, k, exact.sum, exact.offset);
            const x87::SinCos result = x87::fsincos(a);
            setExtended(exact.argument, a);
            mpfr_cos(exact.cos, exact.argument, MPFR_RNDN);
            mpfr_sin(exact.sin, exact.argument, MPFR_RNDN);
            const std::uint64_t index = first + k;
            judge.judge(cosines[worker * 2 + k % 2], result.cos, exact.cos, index, a);
            judge.judge(sines[worker * 2 + k % 2], result.sin, exact.sin, index, a);
        }
    });
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int runInstructionError(const std::vector<std::string>& cases, std::uint64_t samples, unsigned threads)
{
    const char* const known[] = {"fyl2x", "f2xm1", "fsincos", "fsincos-small", "fpatan", "fyl2xp1"};
    for (const std::string& name : cases) {
        if (std::find(std::begin(known), std::end(known), name) == std::end(known)) {
            std::fprintf(stderr, "instructions: unknown case %s (fyl2x, f2xm1, fsincos, fsincos-small, fpatan, "
                         "fyl2xp1)\n", name.c_str());
            return 2;
        }
    }
    const char* const logRegions[2] = {"whole range", "near 1"};
    const char* const expRegions[2] = {"uniform [-1/2, 1/2]", "log-uniform 2^-70..2^-1"};
    const char* const angleRegions[2] = {"uniform [-2 pi, 2 pi]", "near zeros"};

    // Both FYL2X cases on the same inputs, sharing the exact log2(x).
    if (isChosen(cases, "fyl2x")) {
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
    if (isChosen(cases, "f2xm1")) {
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
    if (isChosen(cases, "fsincos")) {
        const auto start = std::chrono::steady_clock::now();
        const QuarterTurns turns;
        std::vector<Tally> cosines(threads * 2), sines(threads * 2);
        measureSinCos(samples, threads, 0x5EED3000ull, cosines, sines,
                      [&](Random& random, std::size_t k, mpfr_ptr sum, mpfr_ptr offset) {
                          return k % 2 == 0 ? uniformTurn(random, turns) : nearQuarterTurn(random, turns, sum, offset);
                      });
        printCase("FSINCOS cos", angleRegions, cosines, printAngleRow);
        printCase("FSINCOS sin", angleRegions, sines, printAngleRow);
        std::printf("FSINCOS %.1f s\n", secondsSince(start));
        std::fflush(stdout);
    }
    // Below pi/4 FSINCOS reduces nothing: its errors relative to the
    // results, in extended ulps, for arguments of every magnitude there.
    if (isChosen(cases, "fsincos-small")) {
        const auto start = std::chrono::steady_clock::now();
        const Extended quarterPi = QuarterTurns{}.multiple[5] / 2;
        std::vector<Tally> cosines(threads * 2), sines(threads * 2);
        measureSinCos(samples, threads, 0x5EED4000ull, cosines, sines, [&](Random& random, std::size_t k, mpfr_ptr, mpfr_ptr) {
            if (k % 2 != 0)
                return logUniform(random, -70.0, -1.0);
            Extended a;
            do
                a = uniformBelow(random, 0x3FFF - 1);
            while (std::fabs(a) > quarterPi);
            return a;
        });
        const char* const smallRegions[2] = {"uniform [-pi/4, pi/4]", "log-uniform 2^-70..2^-1"};
        printCase("FSINCOS cos", smallRegions, cosines);
        printCase("FSINCOS sin", smallRegions, sines);
        std::printf("FSINCOS below pi/4 %.1f s\n", secondsSince(start));
        std::fflush(stdout);
    }
    if (isChosen(cases, "fpatan")) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<Tally> tallies(threads * 2);
        forBlocks(samples, threads, [&](std::uint64_t block, std::uint64_t first, std::size_t count, unsigned worker) {
            thread_local Judge judge;
            thread_local struct References {
                mpfr_t y, x, angle;
                References()
                {
                    mpfr_inits2(53, y, x, static_cast<mpfr_ptr>(nullptr));
                    mpfr_init2(angle, referenceBits);
                }
                ~References() { mpfr_clears(y, x, angle, static_cast<mpfr_ptr>(nullptr)); }
            } exact;
            Random random{0x5EED5000ull + block * 0x100000001ull};
            for (std::size_t k = 0; k < count; ++k) {
                Operands pair;
                if (k % 2 == 0) {
                    pair.y = finiteNonzero(random);
                    pair.x = finiteNonzero(random);
                } else {
                    pair = nearAxesOrDiagonal(random);
                }
                const Extended y = x87::load(pair.y);
                const Extended x = x87::load(pair.x);
                const Extended result = x87::fpatan(y, x);
                mpfr_set_d(exact.y, pair.y, MPFR_RNDN);
                mpfr_set_d(exact.x, pair.x, MPFR_RNDN);
                mpfr_atan2(exact.angle, exact.y, exact.x, MPFR_RNDN);
                judge.judge(tallies[worker * 2 + k % 2], result, exact.angle, first + k, y, x);
            }
        });
        const char* const angleOfRegions[2] = {"whole range", "near axes and diagonals"};
        printCase("FPATAN(y, x)", angleOfRegions, tallies, printPairRow);
        std::printf("FPATAN %.1f s\n", secondsSince(start));
        std::fflush(stdout);
    }
    // Both FYL2XP1 cases on the same r, sharing the exact log2(1 + r).
    if (isChosen(cases, "fyl2xp1")) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<Tally> halved(threads * 2), scaled(threads * 2);
        forBlocks(samples, threads, [&](std::uint64_t block, std::uint64_t first, std::size_t count, unsigned worker) {
            thread_local Judge judge;
            thread_local struct References {
                mpfr_t ratio, log2p1, halved, scaled, constant;
                References()
                {
                    mpfr_inits2(referenceBits, log2p1, halved, scaled, static_cast<mpfr_ptr>(nullptr));
                    mpfr_inits2(64, ratio, constant, static_cast<mpfr_ptr>(nullptr));
                    setExtended(constant, halfLg2);
                }
                ~References()
                {
                    mpfr_clears(ratio, log2p1, halved, scaled, constant, static_cast<mpfr_ptr>(nullptr));
                }
            } exact;
            Random random{0x5EED6000ull + block * 0x100000001ull};
            for (std::size_t k = 0; k < count; ++k) {
                // Both draws are below 2^-9 in magnitude and never zero.
                const Extended r =
                    std::fabs(k % 2 == 0 ? uniformBelow(random, 0x3FFF - 10) : logUniform(random, -70.0, -9.0));
                const Extended half = x87::fyl2xp1(0.5L, r);
                const Extended times = x87::fyl2xp1(halfLg2, r);
                setExtended(exact.ratio, r);
                mpfr_log2p1(exact.log2p1, exact.ratio, MPFR_RNDN);
                mpfr_div_2ui(exact.halved, exact.log2p1, 1, MPFR_RNDN);
                mpfr_mul(exact.scaled, exact.log2p1, exact.constant, MPFR_RNDN);
                const std::uint64_t index = first + k;
                judge.judge(halved[worker * 2 + k % 2], half, exact.halved, index, r);
                judge.judge(scaled[worker * 2 + k % 2], times, exact.scaled, index, r);
            }
        });
        const char* const ratioRegions[2] = {"uniform (0, 2^-9]", "log-uniform 2^-70..2^-9"};
        printCase("FYL2XP1(1/2, r)", ratioRegions, halved);
        printCase("FYL2XP1(lg2/2, r)", ratioRegions, scaled);
        std::printf("FYL2XP1 %.1f s\n", secondsSince(start));
        std::fflush(stdout);
    }
    return 0;
}

} // namespace fpmex::accuracy
