// Whether a double rounds to the single that any value near it rounds to,
// for a kernel's .inl (between level_begin.h and level_end.h).
//
// For v with |v| in [2^-126, 2^128) (a normal single result, or one that
// overflows past the largest single's rounding boundary): the single
// rounding boundaries in v's binade are the doubles whose 29 low
// significand bits are 2^28, and none beyond the binade lies nearer. Where
// those bits lie outside [2^28 - 2^11, 2^28 + 2^11), every value nearer to
// v than 2^11 of its ulps rounds to the same single as v (rounding to
// nearest is monotonic). v's ulp is at least 2^-53 |v|, so an evaluation v
// within 2^-42.1 |L| of L is nearer than that to L, and L rounds as v does.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

// The lanes where v lies within 2^11 ulps of a single's rounding boundary.
inline unsigned nearSingleBoundary(Doubles v)
{
    constexpr std::uint64_t low29 = (std::uint64_t{1} << 29) - 1;
    constexpr std::uint64_t half = std::uint64_t{1} << 28;
    constexpr std::uint64_t reach = std::uint64_t{1} << 11;
    // The low bits, less 2^28 - 2^11 (mod 2^29), are below 2^12.
    return laneBits(((bitsOf(v) - splatBits(half - reach)) & splatBits(low29 & ~(2 * reach - 1))) == splatBits(0));
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
