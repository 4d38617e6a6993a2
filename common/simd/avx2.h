// The vector operations at the AVX2 level: four lanes, fused multiply-add and
// the SSE4.1 rounding instructions. Included by level_begin.h only.
#pragma once

namespace fpmex::avx2::reg {

inline constexpr std::size_t lanes = 4;

struct Doubles {
    __m256d v;
};
struct Floats {
    __m128 v;
};
struct Bits {
    __m256i v;
};
struct Mask {
    __m256d v;
};

inline Doubles splat(double x) { return {_mm256_set1_pd(x)}; }
inline Bits splatBits(std::uint64_t x) { return {_mm256_set1_epi64x(static_cast<long long>(x))}; }

inline Floats loadFloats(const float* p) { return {_mm_loadu_ps(p)}; }
inline void storeFloats(float* p, Floats x) { _mm_storeu_ps(p, x.v); }
inline Doubles loadDoubles(const double* p) { return {_mm256_loadu_pd(p)}; }
inline void storeDoubles(double* p, Doubles x) { _mm256_storeu_pd(p, x.v); }
// Non-temporal stores, past the caches, to an address aligned to the register.
inline void streamFloats(float* p, Floats x) { _mm_stream_ps(p, x.v); }
inline void streamDoubles(double* p, Doubles x) { _mm256_stream_pd(p, x.v); }

inline Doubles widen(Floats x) { return {_mm256_cvtps_pd(x.v)}; }
inline Floats narrow(Doubles x) { return {_mm256_cvtpd_ps(x.v)}; }
inline Bits bitsOf(Doubles x) { return {_mm256_castpd_si256(x.v)}; }
inline Doubles doublesOf(Bits x) { return {_mm256_castsi256_pd(x.v)}; }
inline unsigned equalLanes(Floats a, Floats b)
{
    const __m128i same = _mm_cmpeq_epi32(_mm_castps_si128(a.v), _mm_castps_si128(b.v));
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(same)));
}

inline Doubles operator+(Doubles a, Doubles b) { return {_mm256_add_pd(a.v, b.v)}; }
inline Doubles operator-(Doubles a, Doubles b) { return {_mm256_sub_pd(a.v, b.v)}; }
inline Doubles operator*(Doubles a, Doubles b) { return {_mm256_mul_pd(a.v, b.v)}; }
inline Doubles operator/(Doubles a, Doubles b) { return {_mm256_div_pd(a.v, b.v)}; }
inline Doubles mulAdd(Doubles a, Doubles b, Doubles c) { return {_mm256_fmadd_pd(a.v, b.v, c.v)}; }
inline Doubles mulSub(Doubles a, Doubles b, Doubles c) { return {_mm256_fmsub_pd(a.v, b.v, c.v)}; }
inline Doubles negMulAdd(Doubles a, Doubles b, Doubles c) { return {_mm256_fnmadd_pd(a.v, b.v, c.v)}; }
inline Doubles sqrt(Doubles a) { return {_mm256_sqrt_pd(a.v)}; }
// 1/a for a normal a, within 2^-reciprocalEstimateBits relative: this level
// has no estimate for doubles, so the division, correctly rounded.
inline constexpr int reciprocalEstimateBits = 52;
inline Doubles reciprocalEstimate(Doubles a) { return {_mm256_div_pd(_mm256_set1_pd(1.0), a.v)}; }
inline Doubles negate(Doubles a) { return {_mm256_xor_pd(a.v, _mm256_set1_pd(-0.0))}; }
inline Doubles magnitude(Doubles a) { return {_mm256_andnot_pd(_mm256_set1_pd(-0.0), a.v)}; }
inline Doubles min(Doubles a, Doubles b) { return {_mm256_min_pd(a.v, b.v)}; }
inline Doubles max(Doubles a, Doubles b) { return {_mm256_max_pd(a.v, b.v)}; }

inline Bits operator+(Bits a, Bits b) { return {_mm256_add_epi64(a.v, b.v)}; }
inline Bits operator-(Bits a, Bits b) { return {_mm256_sub_epi64(a.v, b.v)}; }
inline Bits operator&(Bits a, Bits b) { return {_mm256_and_si256(a.v, b.v)}; }
inline Bits operator|(Bits a, Bits b) { return {_mm256_or_si256(a.v, b.v)}; }
inline Bits andNot(Bits a, Bits b) { return {_mm256_andnot_si256(b.v, a.v)}; }
template <int n>
inline Bits shiftRight(Bits a) { return {_mm256_srli_epi64(a.v, n)}; }
template <int n>
inline Bits shiftLeft(Bits a) { return {_mm256_slli_epi64(a.v, n)}; }

inline Mask operator<(Doubles a, Doubles b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask operator<=(Doubles a, Doubles b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
inline Mask operator==(Doubles a, Doubles b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ)}; }
inline Mask isNan(Doubles a) { return {_mm256_cmp_pd(a.v, a.v, _CMP_UNORD_Q)}; }
inline Mask operator==(Bits a, Bits b) { return {_mm256_castsi256_pd(_mm256_cmpeq_epi64(a.v, b.v))}; }
inline Mask operator&(Mask a, Mask b) { return {_mm256_and_pd(a.v, b.v)}; }
inline Mask operator|(Mask a, Mask b) { return {_mm256_or_pd(a.v, b.v)}; }
inline Mask operator!(Mask a) { return {_mm256_xor_pd(a.v, _mm256_castsi256_pd(_mm256_set1_epi32(-1)))}; }
inline unsigned laneBits(Mask a) { return static_cast<unsigned>(_mm256_movemask_pd(a.v)); }
inline Mask signBitSet(Doubles a)
{
    return {_mm256_castsi256_pd(_mm256_cmpgt_epi64(_mm256_setzero_si256(), _mm256_castpd_si256(a.v)))};
}

inline Doubles select(Mask m, Doubles yes, Doubles no) { return {_mm256_blendv_pd(no.v, yes.v, m.v)}; }

// table[index & 15] per lane, from the table's four registers: within each
// register by a permutation of its 32-bit halves (gathers are slow on some
// processors), then among the four by bits 2 and 3 of the index.
inline Doubles lookup16(const double* table, Bits index)
{
    const __m256i pair = _mm256_slli_epi64(_mm256_and_si256(index.v, _mm256_set1_epi64x(3)), 1);
    const __m256i halves = _mm256_add_epi64(_mm256_or_si256(pair, _mm256_slli_epi64(pair, 32)),
                                            _mm256_set1_epi64x(std::int64_t{1} << 32));
    auto part = [&](int k) {
        return _mm256_castps_pd(_mm256_permutevar8x32_ps(_mm256_castpd_ps(_mm256_loadu_pd(table + 4 * k)), halves));
    };
    const __m256d bit2 = _mm256_castsi256_pd(_mm256_slli_epi64(index.v, 61));
    const __m256d bit3 = _mm256_castsi256_pd(_mm256_slli_epi64(index.v, 60));
    return {_mm256_blendv_pd(_mm256_blendv_pd(part(0), part(1), bit2), _mm256_blendv_pd(part(2), part(3), bit2), bit3)};
}

inline Doubles floor(Doubles a) { return {_mm256_round_pd(a.v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC)}; }
inline Doubles truncate(Doubles a) { return {_mm256_round_pd(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)}; }
inline Floats floor(Floats a) { return {_mm_round_ps(a.v, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC)}; }

} // namespace fpmex::avx2::reg
