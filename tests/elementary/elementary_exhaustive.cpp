// Opt-in check, not part of the test run: every single through the single
// set's expKernel and floorKernel. Usage: elementary_exhaustive [exp|floor]
// (default: both). exp takes about 15 minutes of CPU time, floor under half
// a minute. NaN inputs are left to the test tables.
//
// exp: the reference is libm's extended-precision expl rounded to single,
// which is the correctly rounded value unless expl lies within far more than
// its own error of a midpoint between two singles; those rare elements are
// decided by MPFR. floor: the reference is std::floor.
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "mpfr_reference.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t chunk = std::size_t{1} << 20;

// True when v lies within 2^-40 (relative) of a midpoint between two
// singles, far beyond expl's own error.
bool nearMidpoint(long double v)
{
    int exponent;
    const long double significand = std::frexp(v, &exponent); // [0.5, 1)
    const long double scaled = std::ldexp(significand, 25);   // midpoints at odd integers
    const long double distance = std::fabs(scaled - (2 * std::floor(scaled / 2) + 1));
    return distance < 0x1p-15L;
}

float expReference(float x)
{
    const long double v = expl(static_cast<long double>(x));
    if (std::isinf(v))
        return INFINITY;
    if (v < 0x1p-160L) // far below half the smallest denormal
        return 0;
    if (v < 0x1p-126L || v > 0x1p127L || nearMidpoint(v))
        return fpmex::test::mpfrExp(x);
    return static_cast<float>(v);
}

template <class Check>
std::uint64_t overAllSingles(const char* name, Check check)
{
    std::vector<float> in(chunk);
    std::vector<float> out(chunk);
    std::uint64_t wrong = 0;
    for (std::uint64_t start = 0; start < (std::uint64_t{1} << 32); start += chunk) {
        for (std::size_t i = 0; i < chunk; ++i)
            in[i] = std::bit_cast<float>(static_cast<std::uint32_t>(start + i));
        wrong += check(in, out);
    }
    std::printf("%s: %llu of 2^32 singles wrong\n", name, static_cast<unsigned long long>(wrong));
    return wrong;
}

std::uint64_t checkExp(const std::vector<float>& in, std::vector<float>& out)
{
    fpmex::expKernel<float>(out.data(), nullptr, in.data(), nullptr, in.size());
    std::uint64_t wrong = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (std::isnan(in[i]))
            continue;
        const float expected = expReference(in[i]);
        if (std::bit_cast<std::uint32_t>(out[i]) != std::bit_cast<std::uint32_t>(expected) && ++wrong <= 10)
            std::printf("exp(%a) = %a, expected %a\n", in[i], out[i], expected);
    }
    return wrong;
}

std::uint64_t checkFloor(const std::vector<float>& in, std::vector<float>& out)
{
    fpmex::floorKernel(out.data(), nullptr, in.data(), nullptr, in.size());
    std::uint64_t wrong = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(in[i]);
        const std::uint32_t expected =
            std::isnan(in[i]) ? bits | 0x00400000 : std::bit_cast<std::uint32_t>(std::floor(in[i]));
        if (std::bit_cast<std::uint32_t>(out[i]) != expected && ++wrong <= 10)
            std::printf("floor(%a) = %a\n", in[i], out[i]);
    }
    return wrong;
}

} // namespace

int main(int argc, char** argv)
{
    const bool all = argc < 2;
    std::uint64_t wrong = 0;
    for (int k = 1; k < argc || (all && k == 1); ++k) {
        const char* what = all ? nullptr : argv[k];
        if (all || std::strcmp(what, "floor") == 0)
            wrong += overAllSingles("floor", checkFloor);
        if (all || std::strcmp(what, "exp") == 0)
            wrong += overAllSingles("exp", checkExp);
    }
    return wrong == 0 ? 0 : 1;
}
