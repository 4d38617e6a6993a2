// The element-wise kernels split across the worker pool. Each chunk is the
// same kernel on its own elements: their results are element by element, so
// a split changes no bit.
#pragma once

#include "worker_pool.h"

#include <cstddef>
#include <cstring>

namespace fpmex {

// A buffer `offset` elements on; a null buffer (no imaginary part) stays null.
template <class P>
P* advance(P* buffer, std::size_t offset)
{
    return buffer == nullptr ? nullptr : buffer + offset;
}

// A kernel without a flag, (outRe, outIm, inRe, inIm, count).
template <class T>
void splitPlain(void (*kernel)(T*, T*, const T*, const T*, std::size_t), T* outRe, T* outIm, const T* inRe,
                const T* inIm, std::size_t count, std::size_t threshold)
{
    splitWork(count, threshold, [&](std::size_t, std::size_t begin, std::size_t end) {
        kernel(outRe + begin, advance(outIm, begin), inRe + begin, advance(inIm, begin), end - begin);
    });
}

// A kernel returning the imaginary-part flag: the result is 1 when a chunk
// gave 1. A vector variant leaves the imaginary parts of a real input
// unwritten while they are all +0, so when some chunk needs them, the
// chunks that gave 0 get their +0 here (what the reference stores there).
template <class T>
int splitFlag(int (*kernel)(T*, T*, const T*, const T*, std::size_t), T* outRe, T* outIm, const T* inRe,
              const T* inIm, std::size_t count, std::size_t threshold)
{
    struct Chunk {
        std::size_t begin, end;
        int flag;
    };
    Chunk chunks[maxChunks];
    const std::size_t made = splitWork(count, threshold, [&](std::size_t chunk, std::size_t begin, std::size_t end) {
        chunks[chunk] = {begin, end,
                         kernel(outRe + begin, advance(outIm, begin), inRe + begin, advance(inIm, begin), end - begin)};
    });
    if (made == 1)
        return chunks[0].flag;
    bool needed = false;
    for (std::size_t c = 0; c < made; ++c)
        needed |= (chunks[c].flag & 0xFF) != 0;
    if (needed && inIm == nullptr)
        for (std::size_t c = 0; c < made; ++c)
            if ((chunks[c].flag & 0xFF) == 0)
                std::memset(outIm + chunks[c].begin, 0, (chunks[c].end - chunks[c].begin) * sizeof(T));
    return needed ? 1 : 0;
}

} // namespace fpmex
