// The reduction shared by the vector logarithms (log_double_constants.h): a
// positive normal double a split as 2^k * z, z in [0.828125, 1.65625), and
// the index j of z's interval in the reduction table (its low four bits).
// Exact: k is an integer, z has a's significand, scale is 2^-k (for k below
// 1023).

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

struct LogReduction {
    Doubles k;
    Doubles z;
    Bits j;
    Doubles scale;
};

FPMEX_SIMD_STEP LogReduction reduceLog(Doubles a)
{
    const Bits u = bitsOf(a) + splatBits((std::uint64_t{1024} << 52) - logDoubleConstants::offsetBits);
    const Bits kBiased = shiftRight<52>(u); // k + 1024, never negative for a normal double
    const Bits exponent = shiftLeft<52>(kBiased);
    return {doublesOf(kBiased | splatBits(0x4330000000000000)) - splat(0x1p52 + 1024),
            doublesOf(bitsOf(a) - exponent + splatBits(std::uint64_t{1024} << 52)), shiftRight<48>(u),
            doublesOf(splatBits(std::uint64_t{2047} << 52) - exponent)};
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
