// Whether a double rounds to the single that any value near it rounds to,
// for a kernel's .inl (between level_begin.h and level_end.h).
//
// For v with |v| in [2^-126, 2^128) (a normal single result, or one that
// overflows past the largest single's rounding boundary): the single
// rounding boundaries in v's binade are the doubles whose 29 low
// significand bits are 2^28, and none beyond the binade lies nearer. Where
// those bits lie outside [2^28 - 2^reachBits, 2^28 + 2^reachBits), every
// value nearer to v than 2^reachBits of its ulps rounds to the same single
// as v (rounding to nearest is monotonic). v's ulp is at least 2^-53 |v|,
// so an evaluation v within 2^(reachBits - 53.1) |L| of L (2^-42.1 for a
// reach of 2^11) is nearer than that to L, and L rounds as v does.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

// The lanes where v lies within 2^reachBits ulps of a single's rounding
// boundary.
template <int reachBits>
inline unsigned nearSingleBoundary(Doubles v)
{
    static_assert(reachBits >= 0 && reachBits < 28);
    constexpr std::uint64_t low29 = (std::uint64_t{1} << 29) - 1;
    constexpr std::uint64_t half = std::uint64_t{1} << 28;
    constexpr std::uint64_t reach = std::uint64_t{1} << reachBits;
    // The low bits, less 2^28 - reach (mod 2^29), are below 2 reach.
    return laneBits(((bitsOf(v) - splatBits(half - reach)) & splatBits(low29 & ~(2 * reach - 1))) == splatBits(0));
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
