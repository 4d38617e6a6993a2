#include "less_kernel.h"

#include "common/fp_state.h"
#include "common/split_thresholds.h"
#include "common/worker_pool.h"
#include "sse_groups.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace fpmex::operators {

const unsigned char maskBytes[16][4] = {
    {0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 1, 0}, {0, 1, 1, 0}, {1, 1, 1, 0},
    {0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}, {0, 0, 1, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 1, 1},
};

namespace {

// Four comparisons give a 4-bit mask, and the mask's table entry is the
// group's four bytes: no branch per element. Lanes of a partial group beyond
// its elements compare zero bits and are not stored.
template <class Left, class Right>
void compareGroups(unsigned char* out, std::size_t count, Left left, Right right)
{
    walkGroupsDown(count, [&](std::size_t k, auto group) {
        const int mask = _mm_movemask_ps(_mm_cmplt_ps(left(k, group), right(k, group)));
        group.storeBytes(out + k, maskBytes[mask]);
    });
}

bool isNaN(__m128 scalar)
{
    return (_mm_movemask_ps(_mm_cmpunord_ss(scalar, scalar)) & 1) != 0;
}

// Large outputs split into chunks across the worker pool, each chunk a
// kernel run of its own.
template <class Run>
void splitOutput(std::size_t count, Run run)
{
    splitWork(count, split::streamingElements,
              [&](std::size_t, std::size_t begin, std::size_t end) { run(begin, end - begin); });
}

void lessArraysRun(unsigned char* out, const float* a, const float* b, std::size_t count)
{
    const FpStateGuard guard;
    sseLoadMode(sseKernelMode);
    compareGroups(out, count, [&](std::size_t k, auto group) { return group.load(a + k); },
                  [&](std::size_t k, auto group) { return group.load(b + k); });
}

// Both scalar kernels: nothing is less than or greater than a NaN, so a NaN
// scalar fills the output without reading the array operand. The scalar
// stays on its own side of the comparison.
template <bool scalarOnLeft>
void lessScalarRun(unsigned char* out, const float* s, const float* v, std::size_t count)
{
    const FpStateGuard guard;
    sseLoadMode(sseKernelMode);
    const __m128 scalar = _mm_load1_ps(s);
    if (isNaN(scalar)) {
        fillFalse(out, count);
        return;
    }
    const auto fixed = [&](std::size_t, auto) { return scalar; };
    const auto varying = [&](std::size_t k, auto group) { return group.load(v + k); };
    if constexpr (scalarOnLeft)
        compareGroups(out, count, fixed, varying);
    else
        compareGroups(out, count, varying, fixed);
}

} // namespace

void lessArrays(unsigned char* out, const float* a, const float* b, std::size_t count)
{
    splitOutput(count, [&](std::size_t first, std::size_t n) { lessArraysRun(out + first, a + first, b + first, n); });
}

void lessScalarLeft(unsigned char* out, const float* s, const float* b, std::size_t count)
{
    splitOutput(count, [&](std::size_t first, std::size_t n) { lessScalarRun<true>(out + first, s, b + first, n); });
}

void lessScalarRight(unsigned char* out, const float* a, const float* s, std::size_t count)
{
    splitOutput(count, [&](std::size_t first, std::size_t n) { lessScalarRun<false>(out + first, s, a + first, n); });
}

void fillFalse(unsigned char* out, std::size_t count)
{
    const auto address = reinterpret_cast<std::uintptr_t>(out);
    const std::size_t head = std::min<std::size_t>(count, (16 - address % 16) % 16);
    const std::size_t blocks = (count - head) / 16;
    unsigned char* const blocksStart = out + head;
    unsigned char* const blocksEnd = blocksStart + 16 * blocks;
    std::memset(blocksEnd, 0, out + count - blocksEnd);
    const __m128 zero = _mm_setzero_ps();
    for (unsigned char* p = blocksEnd; p != blocksStart;) {
        p -= 16;
        _mm_stream_ps(reinterpret_cast<float*>(p), zero);
    }
    // Streaming stores are weakly ordered: make them visible before return.
    _mm_sfence();
    std::memset(out, 0, head);
}

} // namespace fpmex::operators
