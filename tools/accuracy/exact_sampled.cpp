// plus and prod against exact references.
//
// plus: the exact sum of two singles (MPFR with 300 bits holds every such sum
// exactly: the operands span 2^-149 to 2^128), then the rule of the kernel:
// a nonzero sum below 2^-126 in magnitude gives a zero of its sign, an exact
// zero +0 (-0 only for -0 + -0), everything else the sum rounded once to
// single, to nearest even. Operand pairs cycle through: random finite bit
// patterns; pairs of close magnitude and opposite sign (cancellation); pairs
// near the bottom of the normal range (the flush-to-zero boundary); a random
// operand with another of a nearby exponent (rounding of the aligned sum).
//
// prod: the exact product of a run of 2 to 16 singles (24 bits per factor),
// rounded once to single (denormal results included) by MPFR. The kernel keeps
// a 64-bit significand between factors, so it may differ from this in the
// last place: the figure is the share of correctly rounded products and the
// largest distance in ulps. Runs cycle through: factors of exponents in
// [-8, 8]; factors of random exponents whose product may leave the single
// range on the way and come back; runs that end near the single overflow or
// underflow limits.
#include "accuracy.h"

#include "arrays/prod_kernels.h"
#include "operators/add_kernel.h"

#include <mpfr.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace fpmex::accuracy {
namespace {

constexpr std::size_t blockSize = std::size_t{1} << 16;

float randomFinite(Random& random)
{
    for (;;) {
        const float x = floatOf(static_cast<std::uint32_t>(random.next()));
        if (std::isfinite(x)) {
            return x;
        }
    }
}

// A single with the given biased exponent field, random sign and significand.
float withExponent(Random& random, int field)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(random.next());
    return floatOf((bits & 0x807FFFFFu) | (static_cast<std::uint32_t>(field) << 23));
}

void plusPair(std::size_t k, Random& random, float& a, float& b)
{
    switch (k % 4) {
    case 0:
        a = randomFinite(random);
        b = randomFinite(random);
        return;
    case 1:
        a = randomFinite(random);
        b = -floatOf(bitsOf(a) + static_cast<std::uint32_t>(random.next() % 64) - 32u);
        if (!std::isfinite(b)) {
            b = -a;
        }
        return;
    case 2:
        a = withExponent(random, static_cast<int>(random.next() % 4));
        b = withExponent(random, static_cast<int>(random.next() % 4));
        return;
    default: {
        const int field = 1 + static_cast<int>(random.next() % 253);
        a = withExponent(random, field);
        b = withExponent(random, std::clamp(field + static_cast<int>(random.next() % 61) - 30, 1, 254));
        return;
    }
    }
}

float plusReference(float a, float b, mpfr_t sum)
{
    mpfr_set_flt(sum, a, MPFR_RNDN);
    mpfr_t operand;
    mpfr_init2(operand, 24);
    mpfr_set_flt(operand, b, MPFR_RNDN);
    mpfr_add(sum, sum, operand, MPFR_RNDN); // exact at 300 bits
    mpfr_clear(operand);
    if (mpfr_zero_p(sum)) {
        return std::signbit(a) && std::signbit(b) ? -0.0f : 0.0f;
    }
    if (mpfr_get_exp(sum) <= -126) { // |sum| < 2^-126: MPFR's significands lie in [1/2, 1)
        return mpfr_signbit(sum) ? -0.0f : 0.0f;
    }
    return mpfr_get_flt(sum, MPFR_RNDN);
}

// Distance in ulps between two finite singles, along the ordered patterns.
std::int64_t ulpDistance(float a, float b)
{
    auto order = [](float x) {
        const std::int64_t bits = bitsOf(x);
        return bits >= 0x80000000LL ? 0x80000000LL - bits : bits;
    };
    return std::llabs(order(a) - order(b));
}

} // namespace

int runExactSampled(std::uint64_t samples, unsigned threads)
{
    const std::size_t blocks = static_cast<std::size_t>((samples + blockSize - 1) / blockSize);
    std::mutex printing;
    int failures = 0;

    // plus
    {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::uint64_t> mismatches(threads);
        parallelBlocks(blocks, threads, [&](std::size_t block, unsigned worker) {
            thread_local std::vector<float> a(blockSize), b(blockSize), out(blockSize);
            thread_local mpfr_t sum;
            thread_local bool ready = false;
            if (!ready) {
                mpfr_init2(sum, 300);
                ready = true;
            }
            Random random{0xADD00000ull + block};
            for (std::size_t k = 0; k < blockSize; ++k) {
                plusPair(k, random, a[k], b[k]);
            }
            operators::addArrays(out.data(), nullptr, a.data(), nullptr, b.data(), nullptr, blockSize);
            for (std::size_t k = 0; k < blockSize; ++k) {
                const float want = plusReference(a[k], b[k], sum);
                if (bitsOf(out[k]) != bitsOf(want) && ++mismatches[worker] <= 5) {
                    std::lock_guard<std::mutex> lock(printing);
                    std::printf("  plus mismatch: %08X + %08X: got %08X, want %08X\n", bitsOf(a[k]), bitsOf(b[k]),
                                bitsOf(out[k]), bitsOf(want));
                }
            }
        });
        std::uint64_t total = 0;
        for (auto m : mismatches) {
            total += m;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("plus   %llu sums, %llu mismatches, %.1f s\n",
                    static_cast<unsigned long long>(blocks * blockSize), static_cast<unsigned long long>(total),
                    seconds);
        std::fflush(stdout);
        failures += total != 0;
    }

    // prod: one run length per block, 2 to 16.
    {
        const auto start = std::chrono::steady_clock::now();
        struct ProdTally {
            std::uint64_t products = 0, correct = 0;
            std::int64_t maxUlps = 0;
        };
        std::vector<ProdTally> tallies(threads);
        parallelBlocks(blocks, threads, [&](std::size_t block, unsigned worker) {
            thread_local std::vector<float> in(blockSize), out(blockSize);
            thread_local mpfr_t product, factor;
            thread_local bool ready = false;
            if (!ready) {
                mpfr_init2(product, 24 * 16);
                mpfr_init2(factor, 24);
                ready = true;
            }
            Random random{0x9E0D0000ull + block};
            const std::size_t runLength = 2 + block % 15;
            const std::size_t runs = blockSize / runLength;
            for (std::size_t j = 0; j < runs; ++j) {
                const int kind = static_cast<int>(j % 3);
                for (std::size_t i = 0; i < runLength; ++i) {
                    int field;
                    if (kind == 0) {
                        field = 127 - 8 + static_cast<int>(random.next() % 17);
                    } else if (kind == 1) {
                        field = 1 + static_cast<int>(random.next() % 254);
                    } else {
                        // The exponents add up to about +-126 / runLength each.
                        const int target = (j / 3) % 2 == 0 ? 126 : -126;
                        field = 127 + target / static_cast<int>(runLength) + static_cast<int>(random.next() % 3) - 1;
                    }
                    in[j * runLength + i] = withExponent(random, field);
                }
            }
            prodRealRuns(out.data(), in.data(), runLength, runs);
            ProdTally& tally = tallies[worker];
            for (std::size_t j = 0; j < runs; ++j) {
                mpfr_set_ui(product, 1, MPFR_RNDN);
                for (std::size_t i = 0; i < runLength; ++i) {
                    mpfr_set_flt(factor, in[j * runLength + i], MPFR_RNDN);
                    mpfr_mul(product, product, factor, MPFR_RNDN); // exact
                }
                const float want = mpfr_get_flt(product, MPFR_RNDN);
                ++tally.products;
                if (bitsOf(out[j]) == bitsOf(want)) {
                    ++tally.correct;
                    continue;
                }
                const std::int64_t d = std::isfinite(want) && std::isfinite(out[j]) ? ulpDistance(out[j], want)
                                                                                     : INT64_MAX;
                if (d > tally.maxUlps) {
                    tally.maxUlps = d;
                }
                if (d > 1) {
                    std::lock_guard<std::mutex> lock(printing);
                    std::printf("  prod: run of %zu gives %08X, exact product rounds to %08X\n", runLength,
                                bitsOf(out[j]), bitsOf(want));
                }
            }
        });
        ProdTally total;
        for (const auto& t : tallies) {
            total.products += t.products;
            total.correct += t.correct;
            total.maxUlps = std::max(total.maxUlps, t.maxUlps);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("prod   %llu products of 2 to 16 factors, %llu correctly rounded (%.6f %%), largest distance %lld "
                    "ulp, %.1f s\n",
                    static_cast<unsigned long long>(total.products), static_cast<unsigned long long>(total.correct),
                    100.0 * total.correct / total.products, static_cast<long long>(total.maxUlps), seconds);
        failures += total.maxUlps > 1;
    }
    return failures == 0 ? 0 : 1;
}

} // namespace fpmex::accuracy
