// Elements that a vector kernel cannot decide with certainty go to the x87
// reference kernel, which then computes them exactly as it would in a run of
// its own: its results are element by element, so running it on a gathered
// batch gives every element the same bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace fpmex {

// Elements handed to an x87 kernel by the vector kernels of this library,
// over the life of the process (all threads). For tests and benchmarks.
std::uint64_t fallbackCount();
// The same for the calling thread alone.
std::uint64_t threadFallbackCount();
void countFallbacks(std::uint64_t elements);

// A unary kernel as the frames call it (outRe, outIm, inRe, inIm, count);
// Flag is int for the kernels that return the imaginary-part flag, else void.
template <class T, class Flag>
using UnaryKernel = Flag (*)(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

// Collects the undecided elements of an input and runs the reference on
// them in batches. outIm may be null (a kernel without imaginary output);
// inIm is null for a real input. The reference holds its own floating-point
// state guard, so the vector kernel's MXCSR is untouched by it.
template <class T, class Flag>
struct Fallback {
    static constexpr std::size_t capacity = 64;

    Fallback(UnaryKernel<T, Flag> referenceKernel, T* re, T* im, const T* in, const T* inImaginary = nullptr)
        : reference(referenceKernel), outRe(re), outIm(im), inRe(in), inIm(inImaginary)
    {
    }

    UnaryKernel<T, Flag> reference;
    T* outRe;
    T* outIm;
    const T* inRe;
    const T* inIm;
    std::size_t pending = 0;
    std::size_t index[capacity];
    int flag = 0;

    void add(std::size_t i)
    {
        index[pending++] = i;
        if (pending == capacity)
            flush();
    }

    // Every lane whose bit is set in `lanes`, from element `first` on.
    void addLanes(std::size_t first, unsigned lanes)
    {
        for (; lanes != 0; lanes &= lanes - 1)
            add(first + static_cast<std::size_t>(__builtin_ctz(lanes)));
    }

    void flush()
    {
        if (pending == 0)
            return;
        T in[capacity], inImaginary[capacity], re[capacity], im[capacity];
        for (std::size_t k = 0; k < pending; ++k) {
            in[k] = inRe[index[k]];
            if (inIm != nullptr)
                inImaginary[k] = inIm[index[k]];
        }
        const T* imaginary = inIm != nullptr ? inImaginary : nullptr;
        if constexpr (std::is_void_v<Flag>)
            reference(re, im, in, imaginary, pending);
        else
            flag |= reference(re, im, in, imaginary, pending);
        for (std::size_t k = 0; k < pending; ++k) {
            outRe[index[k]] = re[k];
            if (outIm != nullptr)
                outIm[index[k]] = im[k];
        }
        countFallbacks(pending);
        pending = 0;
    }
};

} // namespace fpmex
