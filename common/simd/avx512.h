// The vector operations at the AVX-512 level (F, DQ, VL): eight lanes, mask
// registers, table lookups within two registers. Included by level_begin.h
// only.
#pragma once

namespace fpmex::avx512::reg {

inline constexpr std::size_t lanes = 8;

struct Doubles {
    __m512d v;
};
struct Floats {
    __m256 v;
};
struct Bits {
    __m512i v;
};
struct Mask {
    __mmask8 m;
};

inline Doubles splat(double x) { return {_mm512_set1_pd(x)}; }
inline Bits splatBits(std::uint64_t x) { return {_mm512_set1_epi64(static_cast<long long>(x))}; }

inline Floats loadFloats(const float* p) { return {_mm256_loadu_ps(p)}; }
inline void storeFloats(float* p, Floats x) { _mm256_storeu_ps(p, x.v); }
inline Doubles loadDoubles(const double* p) { return {_mm512_loadu_pd(p)}; }
inline void storeDoubles(double* p, Doubles x) { _mm512_storeu_pd(p, x.v); }
// Non-temporal stores, past the caches, to an address aligned to the register.
inline void streamFloats(float* p, Floats x) { _mm256_stream_ps(p, x.v); }
inline void streamDoubles(double* p, Doubles x) { _mm512_stream_pd(p, x.v); }

inline Doubles widen(Floats x) { return {_mm512_cvtps_pd(x.v)}; }
inline Floats narrow(Doubles x) { return {_mm512_cvtpd_ps(x.v)}; }
inline Bits bitsOf(Doubles x) { return {_mm512_castpd_si512(x.v)}; }
inline Doubles doublesOf(Bits x) { return {_mm512_castsi512_pd(x.v)}; }
inline unsigned equalLanes(Floats a, Floats b)
{
    return _mm256_cmpeq_epi32_mask(_mm256_castps_si256(a.v), _mm256_castps_si256(b.v));
}

inline Doubles operator+(Doubles a, Doubles b) { return {_mm512_add_pd(a.v, b.v)}; }
inline Doubles operator-(Doubles a, Doubles b) { return {_mm512_sub_pd(a.v, b.v)}; }
inline Doubles operator*(Doubles a, Doubles b) { return {_mm512_mul_pd(a.v, b.v)}; }
inline Doubles operator/(Doubles a, Doubles b) { return {_mm512_div_pd(a.v, b.v)}; }
inline Doubles mulAdd(Doubles a, Doubles b, Doubles c) { return {_mm512_fmadd_pd(a.v, b.v, c.v)}; }
inline Doubles mulSub(Doubles a, Doubles b, Doubles c) { return {_mm512_fmsub_pd(a.v, b.v, c.v)}; }
inline Doubles negMulAdd(Doubles a, Doubles b, Doubles c) { return {_mm512_fnmadd_pd(a.v, b.v, c.v)}; }
inline Doubles sqrt(Doubles a) { return {_mm512_sqrt_pd(a.v)}; }
// 1/a for a normal a, within 2^-reciprocalEstimateBits relative (the
// instruction's documented bound), off the divider.
inline constexpr int reciprocalEstimateBits = 14;
inline Doubles reciprocalEstimate(Doubles a) { return {_mm512_rcp14_pd(a.v)}; }
inline Doubles negate(Doubles a) { return {_mm512_xor_pd(a.v, _mm512_set1_pd(-0.0))}; }
inline Doubles magnitude(Doubles a) { return {_mm512_abs_pd(a.v)}; }
inline Doubles min(Doubles a, Doubles b) { return {_mm512_min_pd(a.v, b.v)}; }
inline Doubles max(Doubles a, Doubles b) { return {_mm512_max_pd(a.v, b.v)}; }

inline Bits operator+(Bits a, Bits b) { return {_mm512_add_epi64(a.v, b.v)}; }
inline Bits operator-(Bits a, Bits b) { return {_mm512_sub_epi64(a.v, b.v)}; }
inline Bits operator&(Bits a, Bits b) { return {_mm512_and_si512(a.v, b.v)}; }
inline Bits operator|(Bits a, Bits b) { return {_mm512_or_si512(a.v, b.v)}; }
inline Bits andNot(Bits a, Bits b) { return {_mm512_andnot_si512(b.v, a.v)}; }
template <int n>
inline Bits shiftRight(Bits a) { return {_mm512_srli_epi64(a.v, n)}; }
template <int n>
inline Bits shiftLeft(Bits a) { return {_mm512_slli_epi64(a.v, n)}; }

inline Mask operator<(Doubles a, Doubles b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask operator<=(Doubles a, Doubles b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LE_OQ)}; }
inline Mask operator==(Doubles a, Doubles b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_EQ_OQ)}; }
inline Mask isNan(Doubles a) { return {_mm512_cmp_pd_mask(a.v, a.v, _CMP_UNORD_Q)}; }
inline Mask operator==(Bits a, Bits b) { return {_mm512_cmpeq_epi64_mask(a.v, b.v)}; }
inline Mask operator&(Mask a, Mask b) { return {static_cast<__mmask8>(a.m & b.m)}; }
inline Mask operator|(Mask a, Mask b) { return {static_cast<__mmask8>(a.m | b.m)}; }
inline Mask operator!(Mask a) { return {static_cast<__mmask8>(~a.m)}; }
inline unsigned laneBits(Mask a) { return a.m; }
inline Mask signBitSet(Doubles a) { return {_mm512_movepi64_mask(_mm512_castpd_si512(a.v))}; }

inline Doubles select(Mask m, Doubles yes, Doubles no) { return {_mm512_mask_blend_pd(m.m, no.v, yes.v)}; }

// The 16 doubles of the table stay in two registers; the permutation reads
// the low four bits of each index.
inline Doubles lookup16(const double* table, Bits index)
{
    return {_mm512_permutex2var_pd(_mm512_loadu_pd(table), index.v, _mm512_loadu_pd(table + 8))};
}

inline Doubles floor(Doubles a) { return {_mm512_roundscale_pd(a.v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC)}; }
inline Doubles truncate(Doubles a) { return {_mm512_roundscale_pd(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)}; }
inline Floats floor(Floats a) { return {_mm256_roundscale_ps(a.v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC)}; }

} // namespace fpmex::avx512::reg
