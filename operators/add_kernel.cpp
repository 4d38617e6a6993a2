#include "add_kernel.h"

#include "common/fp_state.h"
#include "common/split.h"
#include "common/split_thresholds.h"
#include "sse_add.h"
#include "sse_groups.h"

namespace fpmex::operators {

// Each kernel picks its real, mixed or complex path once per call; a path is
// one backward walk over the groups that does the real and the imaginary
// part of a group in the same step. A real operand's missing imaginary part
// is copied, never added as zero, so -0, subnormals and NaN payloads survive.
// Large arrays split into chunks across the worker pool, each chunk a
// kernel run of its own.

namespace {

void addArraysRun(float* outRe, float* outIm, const float* aRe, const float* aIm, const float* bRe, const float* bIm,
                  std::size_t count)
{
    const FpStateGuard guard;
    sseLoadMode(sseKernelMode);
    auto addReal = [&](std::size_t k, auto group) {
        group.store(outRe + k, addInOrder(group.load(aRe + k), group.load(bRe + k)));
    };
    if (outIm == nullptr) {
        walkGroupsDown(count, addReal);
    } else if (aIm != nullptr && bIm != nullptr) {
        walkGroupsDown(count, [&](std::size_t k, auto group) {
            addReal(k, group);
            group.store(outIm + k, addInOrder(group.load(bIm + k), group.load(aIm + k)));
        });
    } else {
        const float* im = aIm != nullptr ? aIm : bIm;
        walkGroupsDown(count, [&](std::size_t k, auto group) {
            addReal(k, group);
            group.store(outIm + k, group.load(im + k));
        });
    }
}

void addScalarRun(float* outRe, float* outIm, const float* sRe, const float* sIm, const float* vRe,
                  const float* vIm, std::size_t count)
{
    const FpStateGuard guard;
    sseLoadMode(sseKernelMode);
    const __m128 scalarRe = _mm_load1_ps(sRe);
    auto addReal = [&](std::size_t k, auto group) {
        group.store(outRe + k, addInOrder(group.load(vRe + k), scalarRe));
    };
    if (outIm == nullptr) {
        walkGroupsDown(count, addReal);
    } else if (sIm != nullptr && vIm != nullptr) {
        const __m128 scalarIm = _mm_load1_ps(sIm);
        walkGroupsDown(count, [&](std::size_t k, auto group) {
            addReal(k, group);
            group.store(outIm + k, addInOrder(group.load(vIm + k), scalarIm));
        });
    } else if (vIm != nullptr) {
        walkGroupsDown(count, [&](std::size_t k, auto group) {
            addReal(k, group);
            group.store(outIm + k, group.load(vIm + k));
        });
    } else {
        const __m128 scalarIm = _mm_load1_ps(sIm);
        walkGroupsDown(count, [&](std::size_t k, auto group) {
            addReal(k, group);
            group.store(outIm + k, scalarIm);
        });
    }
}

} // namespace

void addArrays(float* outRe, float* outIm, const float* aRe, const float* aIm, const float* bRe, const float* bIm,
               std::size_t count)
{
    splitWork(count, split::streamingElements, [&](std::size_t, std::size_t begin, std::size_t end) {
        addArraysRun(outRe + begin, advance(outIm, begin), aRe + begin, advance(aIm, begin), bRe + begin,
                     advance(bIm, begin), end - begin);
    });
}

void addScalar(float* outRe, float* outIm, const float* sRe, const float* sIm, const float* vRe, const float* vIm,
               std::size_t count)
{
    splitWork(count, split::streamingElements, [&](std::size_t, std::size_t begin, std::size_t end) {
        addScalarRun(outRe + begin, advance(outIm, begin), sRe, sIm, vRe + begin, advance(vIm, begin), end - begin);
    });
}

} // namespace fpmex::operators
