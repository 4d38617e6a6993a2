// Opt-in check, not part of the test run: logKernel of the single set against
// the correctly rounded logarithm for every finite nonzero single, in the
// three bases. Usage: logarithms_exhaustive [two|natural|ten ...]
// (default: all three). Takes a few minutes per base.
//
// The reference is the extended-precision libm logarithm rounded to single,
// which is the correctly rounded value unless it lies within far more than
// its own error of a midpoint between two singles; those rare elements are
// decided by MPFR.
#include "log_reference.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using fpmex::LogBase;

long double libmLog(LogBase base, long double x)
{
    switch (base) {
    case LogBase::two:
        return log2l(x);
    case LogBase::natural:
        return logl(x);
    case LogBase::ten:
        break;
    }
    return log10l(x);
}

void runKernel(LogBase base, float* outRe, float* outIm, const float* inRe, std::size_t n)
{
    switch (base) {
    case LogBase::two:
        fpmex::logKernel<float, LogBase::two>(outRe, outIm, inRe, nullptr, n);
        break;
    case LogBase::natural:
        fpmex::logKernel<float, LogBase::natural>(outRe, outIm, inRe, nullptr, n);
        break;
    case LogBase::ten:
        fpmex::logKernel<float, LogBase::ten>(outRe, outIm, inRe, nullptr, n);
        break;
    }
}

bool nearMidpoint(long double r, float rounded)
{
    const long double up = (static_cast<long double>(rounded) + std::nextafter(rounded, INFINITY)) / 2;
    const long double down = (static_cast<long double>(rounded) + std::nextafter(rounded, -INFINITY)) / 2;
    const long double margin = std::fabs(r) * 0x1p-56L;
    return std::fabs(r - up) <= margin || std::fabs(r - down) <= margin;
}

int checkBase(LogBase base, const char* name)
{
    constexpr std::uint32_t chunk = 1u << 20;
    const float P = std::bit_cast<float>(fpmex::TypedLogConstants<float>::P[static_cast<int>(base)]);
    std::vector<float> in(chunk), negated(chunk), re(chunk), im(chunk), negRe(chunk), negIm(chunk);
    std::uint64_t failures = 0, decidedByMpfr = 0;
    for (std::uint64_t start = 1; start < 0x7F800000; start += chunk) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, 0x7F800000 - start));
        for (std::size_t i = 0; i < n; ++i) {
            in[i] = std::bit_cast<float>(static_cast<std::uint32_t>(start + i));
            negated[i] = -in[i];
        }
        runKernel(base, re.data(), im.data(), in.data(), n);
        runKernel(base, negRe.data(), negIm.data(), negated.data(), n);
        for (std::size_t i = 0; i < n; ++i) {
            const long double r = libmLog(base, in[i]);
            float expected = static_cast<float>(r);
            if (nearMidpoint(r, expected)) {
                expected = fpmex::test::referenceLog<float>(base, in[i]);
                ++decidedByMpfr;
            }
            const bool ok = std::bit_cast<std::uint32_t>(re[i]) == std::bit_cast<std::uint32_t>(expected) &&
                            std::bit_cast<std::uint32_t>(im[i]) == 0 &&
                            std::bit_cast<std::uint32_t>(negRe[i]) == std::bit_cast<std::uint32_t>(expected) &&
                            std::bit_cast<std::uint32_t>(negIm[i]) == std::bit_cast<std::uint32_t>(P);
            if (!ok && failures++ < 20)
                std::printf("%s(+-%a) gave %a / %a, expected %a\n", name, in[i], re[i], negRe[i], expected);
        }
    }
    std::printf("%s: %llu of 2^32 - 2^24 - 2 finite nonzero singles wrong (%llu decided by MPFR)\n", name,
                static_cast<unsigned long long>(failures), static_cast<unsigned long long>(decidedByMpfr));
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const struct {
        const char* name;
        LogBase base;
    } bases[] = {{"two", LogBase::two}, {"natural", LogBase::natural}, {"ten", LogBase::ten}};
    int status = 0;
    for (const auto& b : bases) {
        bool wanted = argc == 1;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], b.name) == 0;
        if (wanted)
            status |= checkBase(b.base, b.name);
    }
    return status;
}
