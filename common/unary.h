// Output allocation of the unary deliverables: an output of the set's class
// with the input's sizes, its buffers from the host, and the kernel on the
// raw buffers. The two forms differ in who decides that the result is
// complex: the kernel's flag, or the input.
#pragma once

#include "element.h"

#include <cstddef>

namespace fpmex {

// Returns 1 when some element needed an imaginary part.
template <class T>
using FlagKernel = int (*)(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

template <class T>
using PlainKernel = void (*)(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t count);

// Places an empty output of T's class with the input's sizes in plhs[0] and
// returns the input's element count (0: the output stays without data).
// An input the kernel cannot read as T goes to the host's own function
// instead (a unary deliverable's only input); the count is then 0.
template <class T>
std::size_t createShapedOutput(mxArray* plhs[], const mxArray* input)
{
    const mxArray* inputs[] = {input};
    if (handOverUnserved<T>(1, plhs, 1, inputs, input))
        return 0;
    plhs[0] = ElementClass<T>::createEmpty();
    mxSetDimensions(plhs[0], mxGetDimensions(input), mxGetNumberOfDimensions(input));
    return static_cast<std::size_t>(mxGetNumberOfElements(input));
}

// The imaginary buffer is allocated first and attached only on the flag; an
// unattached buffer is released by the host when the call returns.
template <class T>
void runOnFlag(mxArray* plhs[], const mxArray* input, FlagKernel<T> kernel)
{
    const std::size_t count = createShapedOutput<T>(plhs, input);
    if (count == 0)
        return;
    T* outIm = allocateElements<T>(count);
    T* outRe = allocateElements<T>(count);
    mxSetData(plhs[0], outRe);
    const int flag = kernel(outRe, outIm, static_cast<const T*>(mxGetData(input)),
                            static_cast<const T*>(mxGetImagData(input)), count);
    if ((flag & 0xFF) != 0)
        mxSetImagData(plhs[0], outIm);
}

// Complex output exactly when the input is complex.
template <class T>
void runLikeInput(mxArray* plhs[], const mxArray* input, PlainKernel<T> kernel)
{
    const std::size_t count = createShapedOutput<T>(plhs, input);
    if (count == 0)
        return;
    T* outRe = allocateElements<T>(count);
    mxSetData(plhs[0], outRe);
    T* outIm = nullptr;
    if (mxIsComplex(input)) {
        outIm = allocateElements<T>(count);
        mxSetImagData(plhs[0], outIm);
    }
    kernel(outRe, outIm, static_cast<const T*>(mxGetData(input)), static_cast<const T*>(mxGetImagData(input)),
           count);
}

} // namespace fpmex
