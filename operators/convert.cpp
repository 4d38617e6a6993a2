#include "convert.h"

#include "common/frame.h"
#include "convert_kernels.h"

namespace fpmex::operators {
namespace {

using Converter = void (*)(float* out, const void* in, std::size_t count);

template <class T, void (*convert)(float*, const T*, std::size_t)>
void convertUntyped(float* out, const void* in, std::size_t count)
{
    convert(out, static_cast<const T*>(in), count);
}

// Characters are read at the host's own unit width (16 bits in MATLAB,
// 8 in Octave), zero-extended.
Converter charConverter()
{
    if constexpr (charUnitBytes == 2)
        return convertUntyped<std::uint16_t, uint16ToSingle>;
    else
        return convertUntyped<std::uint8_t, uint8ToSingle>;
}

// Ends the call for a class without a converter.
Converter selectConverter(mxClassID classId)
{
    switch (classId) {
    case mxCHAR_CLASS:
        return charConverter();
    case mxDOUBLE_CLASS:
        return convertUntyped<double, doubleToSingle>;
    case mxINT8_CLASS:
        return convertUntyped<std::int8_t, int8ToSingle>;
    case mxUINT8_CLASS:
        return convertUntyped<std::uint8_t, uint8ToSingle>;
    case mxINT16_CLASS:
        return convertUntyped<std::int16_t, int16ToSingle>;
    case mxUINT16_CLASS:
        return convertUntyped<std::uint16_t, uint16ToSingle>;
    case mxINT32_CLASS:
        return convertUntyped<std::int32_t, int32ToSingle>;
    case mxUINT32_CLASS:
        return convertUntyped<std::uint32_t, uint32ToSingle>;
    default:
        fail("Wrong data type.");
    }
}

} // namespace

mxArray* convertToSingle(const mxArray* source)
{
    mxArray* copy = mxCreateNumericMatrix(0, 0, mxSINGLE_CLASS, mxREAL);
    mxSetDimensions(copy, mxGetDimensions(source), mxGetNumberOfDimensions(source));
    const std::size_t count = static_cast<std::size_t>(mxGetNumberOfElements(source));
    if (count == 0)
        return copy;
    const bool complex = mxIsComplex(source);
    float* re = allocateElements<float>(count);
    mxSetData(copy, re);
    const mxClassID classId = mxGetClassID(source);
    const Converter convert = selectConverter(classId);
    // A sparse array's buffers hold only its nonzero entries.
    if (mxIsSparse(source))
        fail("Sparse operands are not supported.");
    const bool isDouble = classId == mxDOUBLE_CLASS;
    convert(re, isDouble ? mxGetPr(source) : mxGetData(source), count);
    if (complex) {
        float* im = allocateElements<float>(count);
        mxSetImagData(copy, im);
        convert(im, isDouble ? mxGetPi(source) : mxGetImagData(source), count);
    }
    return copy;
}

} // namespace fpmex::operators
