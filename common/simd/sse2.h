// The vector operations at the SSE2 level: two lanes, no fused multiply-add
// and no rounding instruction (floor and round have no SSE2 variant: an
// emulation costs more than the x87 unit's FRNDINT). Included by
// level_begin.h only.
#pragma once

namespace fpmex::sse2::reg {

inline constexpr std::size_t lanes = 2;

struct Doubles {
    __m128d v;
};
struct Floats { // the two lanes in the low half
    __m128 v;
};
struct Bits { // 64-bit integer lanes
    __m128i v;
};
struct Mask { // all ones in a true lane
    __m128d v;
};

inline Doubles splat(double x) { return {_mm_set1_pd(x)}; }
inline Bits splatBits(std::uint64_t x) { return {_mm_set1_epi64x(static_cast<long long>(x))}; }

// Two singles as one 64-bit integer move: the buffers are only 4-byte aligned.
inline Floats loadFloats(const float* p) { return {_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)))}; }
inline void storeFloats(float* p, Floats x) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(x.v)); }
inline Doubles loadDoubles(const double* p) { return {_mm_loadu_pd(p)}; }
inline void storeDoubles(double* p, Doubles x) { _mm_storeu_pd(p, x.v); }

inline Doubles widen(Floats x) { return {_mm_cvtps_pd(x.v)}; }
inline Floats narrow(Doubles x) { return {_mm_cvtpd_ps(x.v)}; }
inline Bits bitsOf(Doubles x) { return {_mm_castpd_si128(x.v)}; }
inline Doubles doublesOf(Bits x) { return {_mm_castsi128_pd(x.v)}; }
// Bit i set where lane i of a and b hold the same bits.
inline unsigned equalLanes(Floats a, Floats b)
{
    const __m128i same = _mm_cmpeq_epi32(_mm_castps_si128(a.v), _mm_castps_si128(b.v));
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(same))) & 3;
}

inline Doubles operator+(Doubles a, Doubles b) { return {_mm_add_pd(a.v, b.v)}; }
inline Doubles operator-(Doubles a, Doubles b) { return {_mm_sub_pd(a.v, b.v)}; }
inline Doubles operator*(Doubles a, Doubles b) { return {_mm_mul_pd(a.v, b.v)}; }
inline Doubles operator/(Doubles a, Doubles b) { return {_mm_div_pd(a.v, b.v)}; }
// a * b + c, rounded twice here (once where the level has FMA).
inline Doubles mulAdd(Doubles a, Doubles b, Doubles c) { return {_mm_add_pd(_mm_mul_pd(a.v, b.v), c.v)}; }
inline Doubles sqrt(Doubles a) { return {_mm_sqrt_pd(a.v)}; }
inline Doubles negate(Doubles a) { return {_mm_xor_pd(a.v, _mm_set1_pd(-0.0))}; }
inline Doubles magnitude(Doubles a) { return {_mm_andnot_pd(_mm_set1_pd(-0.0), a.v)}; }
inline Doubles min(Doubles a, Doubles b) { return {_mm_min_pd(a.v, b.v)}; }
inline Doubles max(Doubles a, Doubles b) { return {_mm_max_pd(a.v, b.v)}; }

inline Bits operator+(Bits a, Bits b) { return {_mm_add_epi64(a.v, b.v)}; }
inline Bits operator-(Bits a, Bits b) { return {_mm_sub_epi64(a.v, b.v)}; }
inline Bits operator&(Bits a, Bits b) { return {_mm_and_si128(a.v, b.v)}; }
inline Bits operator|(Bits a, Bits b) { return {_mm_or_si128(a.v, b.v)}; }
inline Bits andNot(Bits a, Bits b) { return {_mm_andnot_si128(b.v, a.v)}; } // a & ~b
template <int n>
inline Bits shiftRight(Bits a) { return {_mm_srli_epi64(a.v, n)}; }
template <int n>
inline Bits shiftLeft(Bits a) { return {_mm_slli_epi64(a.v, n)}; }

inline Mask operator<(Doubles a, Doubles b) { return {_mm_cmplt_pd(a.v, b.v)}; }
inline Mask operator<=(Doubles a, Doubles b) { return {_mm_cmple_pd(a.v, b.v)}; }
inline Mask operator==(Doubles a, Doubles b) { return {_mm_cmpeq_pd(a.v, b.v)}; }
inline Mask isNan(Doubles a) { return {_mm_cmpunord_pd(a.v, a.v)}; }
// Lanes whose 64-bit integers are equal (SSE2 compares 32-bit halves).
inline Mask operator==(Bits a, Bits b)
{
    const __m128i halves = _mm_cmpeq_epi32(a.v, b.v);
    return {_mm_castsi128_pd(_mm_and_si128(halves, _mm_shuffle_epi32(halves, 0xB1)))};
}
inline Mask operator&(Mask a, Mask b) { return {_mm_and_pd(a.v, b.v)}; }
inline Mask operator|(Mask a, Mask b) { return {_mm_or_pd(a.v, b.v)}; }
inline Mask operator!(Mask a) { return {_mm_xor_pd(a.v, _mm_castsi128_pd(_mm_set1_epi32(-1)))}; }
// Bit i set for a true lane i.
inline unsigned laneBits(Mask a) { return static_cast<unsigned>(_mm_movemask_pd(a.v)); }
// Lanes whose sign bit is set.
inline Mask signBitSet(Doubles a)
{
    return {_mm_castsi128_pd(_mm_shuffle_epi32(_mm_srai_epi32(_mm_castpd_si128(a.v), 31), 0xF5))};
}

inline Doubles select(Mask m, Doubles yes, Doubles no)
{
    return {_mm_or_pd(_mm_and_pd(m.v, yes.v), _mm_andnot_pd(m.v, no.v))};
}

// table[index & 15] per lane.
inline Doubles lookup16(const double* table, Bits index)
{
    // The low 32 bits of each lane suffice, also in a 32-bit build.
    const int low = _mm_cvtsi128_si32(index.v) & 15;
    const int high = _mm_cvtsi128_si32(_mm_unpackhi_epi64(index.v, index.v)) & 15;
    return {_mm_loadh_pd(_mm_load_sd(table + low), table + high)};
}

} // namespace fpmex::sse2::reg
