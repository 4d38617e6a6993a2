#include "convert_kernels.h"

#include "common/fp_state.h"
#include "common/split_thresholds.h"
#include "common/worker_pool.h"
#include "sse_groups.h"

#include <emmintrin.h>

#include <type_traits>

namespace fpmex::operators {
namespace {

// Integer lanes widened to four signed 32-bit lanes: 16-bit values are
// interleaved with their sign mask (signed) or with zero (unsigned); 8-bit
// values go to 16 bits first. All of these conversions are exact.
template <class T>
__m128i widen(__m128i bits)
{
    const __m128i zero = _mm_setzero_si128();
    if constexpr (sizeof(T) == 4)
        return bits;
    else if constexpr (sizeof(T) == 2 && static_cast<T>(-1) < 0)
        return _mm_unpacklo_epi16(bits, _mm_srai_epi16(bits, 15));
    else if constexpr (sizeof(T) == 2)
        return _mm_unpacklo_epi16(bits, zero);
    else if constexpr (static_cast<T>(-1) < 0)
        return widen<std::int16_t>(_mm_unpacklo_epi8(bits, _mm_cmpgt_epi8(zero, bits)));
    else
        return widen<std::uint16_t>(_mm_unpacklo_epi8(bits, zero));
}

// A uint32 word is converted as a signed int32 first; where that gives a
// negative value (the word is 2^31 or more), 2^32 is added by a single
// addition. The second rounding is intended: 2^31 + 129 gives 2^31, and
// 2^32 - 1 gives 2^32.
template <class T>
__m128 toSingle(__m128i words)
{
    const __m128 converted = _mm_cvtepi32_ps(words);
    if constexpr (!std::is_same_v<T, std::uint32_t>)
        return converted;
    else {
        const __m128 twoTo32 = _mm_castsi128_ps(_mm_set1_epi32(0x4F800000));
        const __m128 negative = _mm_cmplt_ps(converted, _mm_setzero_ps());
        return _mm_add_ps(converted, _mm_and_ps(negative, twoTo32));
    }
}

// Integer sources run from the top group down to group 0.
template <class T>
void integersRun(float* out, const T* in, std::size_t count)
{
    const FpStateGuard guard;
    sseLoadMode(sseKernelMode);
    walkGroupsDown(count, [&](std::size_t first, auto group) {
        group.store(out + first, toSingle<T>(widen<T>(group.loadBits(in + first))));
    });
}

// Runs forwards, four elements per step from two pairs of doubles, then the
// 1 to 3 elements left. Rounds to nearest even; overflow gives an infinity
// of the value's sign, a NaN stays a (quiet) NaN, and a result below 2^-126
// in magnitude becomes a zero of its sign.
void doublesRun(float* out, const double* in, std::size_t count)
{
    const FpStateGuard guard;
    sseLoadMode(sseKernelMode);
    std::size_t k = 0;
    for (; count - k >= 4; k += 4) {
        const __m128 low = _mm_cvtpd_ps(_mm_loadu_pd(in + k));
        const __m128 high = _mm_cvtpd_ps(_mm_loadu_pd(in + k + 2));
        _mm_storeu_ps(out + k, _mm_movelh_ps(low, high));
    }
    const std::size_t left = count - k;
    if (left == 0)
        return;
    const __m128d pair = left >= 2 ? _mm_loadu_pd(in + k) : _mm_load_sd(in + k);
    const __m128d third = left == 3 ? _mm_load_sd(in + k + 2) : _mm_setzero_pd();
    PartialGroup{left}.store(out + k, _mm_movelh_ps(_mm_cvtpd_ps(pair), _mm_cvtpd_ps(third)));
}

// Large operands convert in chunks across the worker pool, each chunk a run
// of its own.
template <class T, void (*run)(float*, const T*, std::size_t)>
void convertSplit(float* out, const T* in, std::size_t count)
{
    splitWork(count, split::streamingElements,
              [&](std::size_t, std::size_t begin, std::size_t end) { run(out + begin, in + begin, end - begin); });
}

template <class T>
void convertIntegers(float* out, const T* in, std::size_t count)
{
    convertSplit<T, integersRun<T>>(out, in, count);
}

} // namespace

void doubleToSingle(float* out, const double* in, std::size_t count) { convertSplit<double, doublesRun>(out, in, count); }
void int32ToSingle(float* out, const std::int32_t* in, std::size_t count) { convertIntegers(out, in, count); }
void uint32ToSingle(float* out, const std::uint32_t* in, std::size_t count) { convertIntegers(out, in, count); }
void int16ToSingle(float* out, const std::int16_t* in, std::size_t count) { convertIntegers(out, in, count); }
void uint16ToSingle(float* out, const std::uint16_t* in, std::size_t count) { convertIntegers(out, in, count); }
void int8ToSingle(float* out, const std::int8_t* in, std::size_t count) { convertIntegers(out, in, count); }
void uint8ToSingle(float* out, const std::uint8_t* in, std::size_t count) { convertIntegers(out, in, count); }

} // namespace fpmex::operators
