#include "display.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace fpmex::runner {
namespace {

std::string sizeText(const mxArray* a)
{
    const mwSize* dims = mxGetDimensions(a);
    std::string text;
    for (mwSize k = 0; k < mxGetNumberOfDimensions(a); ++k)
        text += (k ? "x" : "") + std::to_string(dims[k]);
    return text;
}

std::string shapeWord(const mxArray* a)
{
    if (mxGetNumberOfElements(a) == 0)
        return "matrix";
    if (mxGetNumberOfDimensions(a) > 2)
        return "array";
    const mwSize* dims = mxGetDimensions(a);
    if (dims[0] == 1)
        return "row vector";
    if (dims[1] == 1)
        return "column vector";
    return "matrix";
}

double realAt(const void* data, mxClassID id, std::size_t i)
{
    const auto* p = static_cast<const unsigned char*>(data);
    switch (id) {
    case mxDOUBLE_CLASS: { double v; std::memcpy(&v, p + 8 * i, 8); return v; }
    case mxSINGLE_CLASS: { float v; std::memcpy(&v, p + 4 * i, 4); return v; }
    case mxLOGICAL_CLASS:
    case mxUINT8_CLASS: return p[i];
    case mxINT8_CLASS: return static_cast<std::int8_t>(p[i]);
    case mxCHAR_CLASS:
    case mxUINT16_CLASS: { std::uint16_t v; std::memcpy(&v, p + 2 * i, 2); return v; }
    case mxINT16_CLASS: { std::int16_t v; std::memcpy(&v, p + 2 * i, 2); return v; }
    case mxINT32_CLASS: { std::int32_t v; std::memcpy(&v, p + 4 * i, 4); return v; }
    case mxUINT32_CLASS: { std::uint32_t v; std::memcpy(&v, p + 4 * i, 4); return v; }
    default: return 0;
    }
}

std::string integerText(const void* data, mxClassID id, std::size_t i)
{
    const auto* p = static_cast<const unsigned char*>(data);
    if (id == mxINT64_CLASS) {
        std::int64_t v;
        std::memcpy(&v, p + 8 * i, 8);
        return std::to_string(v);
    }
    if (id == mxUINT64_CLASS) {
        std::uint64_t v;
        std::memcpy(&v, p + 8 * i, 8);
        return std::to_string(v);
    }
    return std::to_string(static_cast<long long>(realAt(data, id, i)));
}

std::string hexText(const void* data, std::size_t size, std::size_t i)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, static_cast<const unsigned char*>(data) + size * i, size);
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%0*" PRIx64, static_cast<int>(2 * size), bits);
    return buffer;
}

std::string number(double v, bool single)
{
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Inf" : "-Inf";
    if (v == 0)
        return "0"; // MATLAB shows -0 as 0; --hex shows the sign
    return shortest(v, single);
}

std::string elementText(const mxArray* a, std::size_t i, bool hex)
{
    const mxClassID id = mxGetClassID(a);
    const std::size_t size = mxGetElementSize(a);
    if (hex) {
        std::string text = hexText(mxGetData(a), size, i);
        if (mxIsComplex(a))
            text += " + " + hexText(mxGetImagData(a), size, i) + "i";
        return text;
    }
    if (id == mxINT64_CLASS || id == mxUINT64_CLASS || (mxIsNumeric(a) && id != mxDOUBLE_CLASS && id != mxSINGLE_CLASS) ||
        id == mxLOGICAL_CLASS) {
        std::string text = integerText(mxGetData(a), id, i);
        if (mxIsComplex(a)) {
            const std::string im = integerText(mxGetImagData(a), id, i);
            text += (im[0] == '-' ? " - " + im.substr(1) : " + " + im) + "i";
        }
        return text;
    }
    const bool single = id == mxSINGLE_CLASS;
    std::string text = number(realAt(mxGetData(a), id, i), single);
    if (mxIsComplex(a)) {
        const double im = realAt(mxGetImagData(a), id, i);
        const bool negative = std::signbit(im) && !std::isnan(im);
        text += std::string(negative ? " - " : " + ") + number(negative ? -im : im, single) + "i";
    }
    return text;
}

std::string charText(const mxArray* a)
{
    const auto* units = static_cast<const mxChar*>(mxGetData(a));
    const mwSize* dims = mxGetDimensions(a);
    const std::size_t rows = dims[0], columns = mxGetNumberOfElements(a) / (rows ? rows : 1);
    std::string text;
    for (std::size_t r = 0; r < rows; ++r) {
        text += "    '";
        for (std::size_t c = 0; c < columns; ++c) {
            const mxChar u = units[c * rows + r];
            text += u >= 32 && u < 127 ? static_cast<char>(u) : '?';
        }
        text += "'\n";
    }
    return text;
}

// One page (a 2-D slice) with right-aligned columns, as MATLAB lays them out;
// complex elements align their real parts, signs and imaginary parts.
std::string page(const mxArray* a, std::size_t first, std::size_t rows, std::size_t columns, bool hex)
{
    const std::size_t n = rows * columns;
    std::vector<std::string> re(n), sign(n), im(n);
    std::size_t reWidth = 0, imWidth = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const std::string text = elementText(a, first + k, hex);
        const std::size_t at = mxIsComplex(a) ? text.find(" + ") == std::string::npos ? text.find(" - ")
                                                                                       : text.find(" + ")
                                              : std::string::npos;
        re[k] = text.substr(0, at);
        if (at != std::string::npos) {
            sign[k] = text.substr(at, 3);
            im[k] = text.substr(at + 3);
        }
        reWidth = std::max(reWidth, re[k].size());
        imWidth = std::max(imWidth, im[k].size());
    }
    std::string text;
    for (std::size_t r = 0; r < rows; ++r) {
        text += " ";
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t k = c * rows + r;
            text += std::string(reWidth - re[k].size() + 3, ' ') + re[k];
            if (!sign[k].empty())
                text += sign[k] + std::string(imWidth - im[k].size(), ' ') + im[k];
        }
        text += "\n";
    }
    return text;
}

} // namespace

std::string shortest(double value, bool singlePrecision)
{
    char buffer[40];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
        const double back = std::strtod(buffer, nullptr);
        if (singlePrecision ? static_cast<float>(back) == static_cast<float>(value) : back == value)
            break;
    }
    return buffer;
}

std::string display(const std::string& name, const mxArray* a, bool hex)
{
    std::string text = name + " =\n\n";
    const mxClassID id = mxGetClassID(a);
    const std::size_t n = mxGetNumberOfElements(a);
    const std::string cls = mxGetClassName(a);
    const std::string complexWord = mxIsComplex(a) ? "complex " : "";
    if (id == mxCELL_CLASS)
        return text + "  " + sizeText(a) + " cell array\n\n";
    if (id == mxSTRUCT_CLASS)
        return text + "  struct with no fields.\n\n";
    if (mxIsSparse(a))
        return text + "  " + sizeText(a) + " sparse " + cls + " matrix\n\n";
    if (n == 0)
        return text + "  " + sizeText(a) + " empty " + complexWord + cls + " " + shapeWord(a) + "\n\n";
    if (id == mxCHAR_CLASS && !hex)
        return text + charText(a) + "\n";
    if (id != mxDOUBLE_CLASS || hex) {
        if (n == 1)
            text += "  " + complexWord + cls + "\n\n";
        else
            text += "  " + sizeText(a) + " " + complexWord + cls + " " + shapeWord(a) + "\n\n";
    }
    const mwSize* dims = mxGetDimensions(a);
    const std::size_t rows = dims[0], columns = dims[1], pages = n / (rows * columns);
    for (std::size_t p = 0; p < pages; ++p) {
        if (pages > 1) {
            std::string index;
            std::size_t rest = p;
            for (mwSize k = 2; k < mxGetNumberOfDimensions(a); ++k) {
                index += "," + std::to_string(rest % dims[k] + 1);
                rest /= dims[k];
            }
            text += "  (:,:" + index + ") =\n\n";
        }
        text += page(a, p * rows * columns, rows, columns, hex) + "\n";
    }
    return text;
}

} // namespace fpmex::runner
