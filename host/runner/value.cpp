#include "value.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace fpmex::runner {
namespace {

template <class T>
T load(const std::vector<unsigned char>& bytes, std::size_t i)
{
    T value;
    std::memcpy(&value, bytes.data() + i * sizeof(T), sizeof(T));
    return value;
}

template <class T>
void store(std::vector<unsigned char>& bytes, std::size_t i, T value)
{
    std::memcpy(bytes.data() + i * sizeof(T), &value, sizeof(T));
}

// Exact for every class, 64-bit integers included.
long double wideAt(const std::vector<unsigned char>& bytes, mxClassID id, std::size_t i)
{
    switch (id) {
    case mxDOUBLE_CLASS: return load<double>(bytes, i);
    case mxSINGLE_CLASS: return load<float>(bytes, i);
    case mxLOGICAL_CLASS:
    case mxUINT8_CLASS: return load<std::uint8_t>(bytes, i);
    case mxINT8_CLASS: return load<std::int8_t>(bytes, i);
    case mxCHAR_CLASS:
    case mxUINT16_CLASS: return load<std::uint16_t>(bytes, i);
    case mxINT16_CLASS: return load<std::int16_t>(bytes, i);
    case mxINT32_CLASS: return load<std::int32_t>(bytes, i);
    case mxUINT32_CLASS: return load<std::uint32_t>(bytes, i);
    case mxINT64_CLASS: return load<std::int64_t>(bytes, i);
    case mxUINT64_CLASS: return load<std::uint64_t>(bytes, i);
    default: return 0;
    }
}

template <class T>
T saturate(long double x)
{
    if (std::isnan(x))
        return 0;
    const long double r = std::roundl(x);
    if (r <= static_cast<long double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (r >= static_cast<long double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

void convertPart(const std::vector<unsigned char>& in, mxClassID from, std::vector<unsigned char>& out, mxClassID to,
                 std::size_t n)
{
    out.assign(n * elementSize(to), 0);
    for (std::size_t i = 0; i < n; ++i) {
        // Floating classes convert directly so that NaN payloads and the
        // single rounding of double to single are exactly the machine's.
        if (to == mxDOUBLE_CLASS && from == mxSINGLE_CLASS) {
            store<double>(out, i, load<float>(in, i));
            continue;
        }
        if (to == mxSINGLE_CLASS && from == mxDOUBLE_CLASS) {
            store<float>(out, i, static_cast<float>(load<double>(in, i)));
            continue;
        }
        if (to == from) {
            std::memcpy(out.data() + i * elementSize(to), in.data() + i * elementSize(to), elementSize(to));
            continue;
        }
        const long double x = wideAt(in, from, i);
        switch (to) {
        case mxDOUBLE_CLASS: store<double>(out, i, static_cast<double>(x)); break;
        case mxSINGLE_CLASS: store<float>(out, i, static_cast<float>(x)); break;
        case mxLOGICAL_CLASS:
            if (std::isnan(x))
                throw std::invalid_argument("NaN's cannot be converted to logicals.");
            store<std::uint8_t>(out, i, x != 0);
            break;
        case mxCHAR_CLASS:
        case mxUINT16_CLASS: store<std::uint16_t>(out, i, saturate<std::uint16_t>(x)); break;
        case mxINT8_CLASS: store<std::int8_t>(out, i, saturate<std::int8_t>(x)); break;
        case mxUINT8_CLASS: store<std::uint8_t>(out, i, saturate<std::uint8_t>(x)); break;
        case mxINT16_CLASS: store<std::int16_t>(out, i, saturate<std::int16_t>(x)); break;
        case mxINT32_CLASS: store<std::int32_t>(out, i, saturate<std::int32_t>(x)); break;
        case mxUINT32_CLASS: store<std::uint32_t>(out, i, saturate<std::uint32_t>(x)); break;
        case mxINT64_CLASS: store<std::int64_t>(out, i, saturate<std::int64_t>(x)); break;
        case mxUINT64_CLASS: store<std::uint64_t>(out, i, saturate<std::uint64_t>(x)); break;
        default: throw std::invalid_argument("cannot convert to that class");
        }
    }
}

} // namespace

std::size_t Value::count() const
{
    std::size_t n = 1;
    for (mwSize d : dims)
        n *= d;
    return n;
}

std::size_t elementSize(mxClassID classId)
{
    switch (classId) {
    case mxLOGICAL_CLASS:
    case mxINT8_CLASS:
    case mxUINT8_CLASS: return 1;
    case mxCHAR_CLASS:
    case mxINT16_CLASS:
    case mxUINT16_CLASS: return 2;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS: return 4;
    default: return 8;
    }
}

bool isNumericClass(mxClassID classId)
{
    return classId >= mxDOUBLE_CLASS && classId <= mxUINT64_CLASS;
}

const char* className(mxClassID classId)
{
    static const char* const names[] = {"unknown", "cell",  "struct", "logical", "char",  "void",
                                        "double",  "single", "int8",  "uint8",   "int16", "uint16",
                                        "int32",   "uint32", "int64", "uint64"};
    return classId >= 0 && classId <= mxUINT64_CLASS ? names[classId] : "unknown";
}

mxClassID classFromName(const std::string& name)
{
    for (int id = mxLOGICAL_CLASS; id <= mxUINT64_CLASS; ++id)
        if (id != mxVOID_CLASS && name == className(static_cast<mxClassID>(id)))
            return static_cast<mxClassID>(id);
    return mxUNKNOWN_CLASS;
}

std::complex<double> elementAt(const Value& value, std::size_t i)
{
    const auto part = [&](const std::vector<unsigned char>& bytes) -> double {
        if (bytes.empty())
            return 0.0;
        if (value.classId == mxDOUBLE_CLASS)
            return load<double>(bytes, i);
        if (value.classId == mxSINGLE_CLASS)
            return load<float>(bytes, i);
        return static_cast<double>(wideAt(bytes, value.classId, i));
    };
    return {part(value.re), value.complex ? part(value.im) : 0.0};
}

Value doubleValue(const std::vector<std::complex<double>>& values, std::vector<mwSize> dims, bool forceComplex)
{
    Value v;
    v.classId = mxDOUBLE_CLASS;
    v.dims = std::move(dims);
    v.complex = forceComplex;
    for (const auto& z : values)
        if (z.imag() != 0 || std::signbit(z.imag()) || std::isnan(z.imag()))
            v.complex = true;
    v.re.assign(values.size() * 8, 0);
    if (v.complex)
        v.im.assign(values.size() * 8, 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        store<double>(v.re, i, values[i].real());
        if (v.complex)
            store<double>(v.im, i, values[i].imag());
    }
    return v;
}

Value convert(const Value& value, mxClassID target)
{
    if (!isNumericClass(value.classId) && value.classId != mxCHAR_CLASS && value.classId != mxLOGICAL_CLASS)
        throw std::invalid_argument(std::string("cannot convert a ") + className(value.classId) + " value to " +
                                    className(target));
    if (value.complex && (target == mxLOGICAL_CLASS || target == mxCHAR_CLASS))
        throw std::invalid_argument(std::string("complex values cannot be converted to ") + className(target));
    Value out;
    out.classId = target;
    out.dims = value.dims;
    out.complex = value.complex;
    out.sparse = value.sparse && (target == mxDOUBLE_CLASS || target == mxLOGICAL_CLASS);
    const std::size_t n = value.count();
    convertPart(value.re, value.classId, out.re, target, n);
    if (value.complex)
        convertPart(value.im, value.classId, out.im, target, n);
    return out;
}

host::Array toArray(const Value& value)
{
    if (value.classId == mxCELL_CLASS) {
        host::Array sized(mxCreateCellMatrix(value.count(), 1));
        mxSetDimensions(sized.get(), value.dims.data(), value.dims.size());
        for (std::size_t i = 0; i < value.cells.size(); ++i)
            mxSetCell(sized.get(), i, toArray(value.cells[i]).release());
        return sized;
    }
    if (value.classId == mxSTRUCT_CLASS)
        return host::Array(mxCreateStructMatrix(1, 1, 0, nullptr));
    if (value.sparse) {
        // Compressed columns of the nonzero elements, as MATLAB stores them.
        const mwSize m = value.dims[0], n = value.count() == 0 ? value.dims[1] : value.count() / m;
        std::vector<std::size_t> nonzero;
        for (std::size_t i = 0; i < value.count(); ++i)
            if (elementAt(value, i) != std::complex<double>(0, 0))
                nonzero.push_back(i);
        host::Array sparse(mxCreateSparse(m, n, nonzero.size(), value.complex ? mxCOMPLEX : mxREAL));
        auto* pr = mxGetPr(sparse.get());
        auto* pi = mxGetPi(sparse.get());
        mwIndex* ir = mxGetIr(sparse.get());
        mwIndex* jc = mxGetJc(sparse.get());
        const Value asDouble = convert(value, mxDOUBLE_CLASS);
        for (std::size_t k = 0; k < nonzero.size(); ++k) {
            const auto z = elementAt(asDouble, nonzero[k]);
            pr[k] = z.real();
            if (pi != nullptr)
                pi[k] = z.imag();
            ir[k] = nonzero[k] % m;
            ++jc[nonzero[k] / m + 1];
        }
        for (mwSize j = 0; j < n; ++j)
            jc[j + 1] += jc[j];
        if (value.classId == mxLOGICAL_CLASS)
            throw std::invalid_argument("sparse logical arrays are not supported");
        return sparse;
    }
    host::Array array(mxCreateNumericArray(value.dims.size(), value.dims.data(), value.classId,
                                           value.complex ? mxCOMPLEX : mxREAL));
    if (!value.re.empty())
        std::memcpy(mxGetData(array.get()), value.re.data(), value.re.size());
    if (value.complex && !value.im.empty())
        std::memcpy(mxGetImagData(array.get()), value.im.data(), value.im.size());
    return array;
}

} // namespace fpmex::runner
