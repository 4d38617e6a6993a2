// Fuzz input -> argument list. The layout is byte oriented so that the
// fuzzer's mutations map to meaningful changes; a short input reads zeros.
//
//   byte 0   deliverable (index into the build's list)
//   byte 1   bits 0-1 nlhs (0..3), bits 2-4 nrhs (mod 5), bit 7 mxMalloc 8 bytes off
//   byte 2   bits 0-3 input byte offset (rounded down to each array's element
//            alignment, which every host keeps), bits 4-7 caller's
//            floating-point mode
//   then one array per input (decodeArray).
#include "fuzz_call.h"

#include "fpmex_deliverables.h"

#include <array>
#include <cstring>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace fpmex::fuzz {
namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset = 0; // where inputs start relative to 16 bytes
    bool narrowed = false;  // a size beyond this platform's mwSize was asked for

    std::uint8_t byte()
    {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    void bytes(void* out, std::size_t count)
    {
        auto* p = static_cast<std::uint8_t*>(out);
        for (std::size_t i = 0; i < count; ++i)
            p[i] = byte();
    }
};

constexpr std::array<CallerMode, 16> callerModes{{
    {0x037F, 0x1F80}, // the defaults
    {0x027F, 0x1F80}, // 53-bit significand (MATLAB on Windows)
    {0x007F, 0x1F80}, // 24-bit significand
    {0x0F7F, 0x1F80}, // x87 round toward zero
    {0x077F, 0x1F80}, // x87 round down
    {0x0B7F, 0x1F80}, // x87 round up
    {0x037F, 0x9F80}, // flush-to-zero
    {0x037F, 0x1FC0}, // denormals-are-zero
    {0x037F, 0x3F80}, // SSE round down
    {0x037F, 0x5F80}, // SSE round up
    {0x037F, 0x7F80}, // SSE round toward zero
    {0x037F, 0xFFC0}, // everything the MXCSR can switch on
    {0x0F7F, 0xFFC0},
    {0x007F, 0x5F80},
    {0x0B7F, 0x3F80},
    {0x027F, 0x9FC0},
}};

// Values a size or an element is most likely to go wrong at.
constexpr std::array<std::uint32_t, 32> singleSpecials{
    0x00000000, 0x80000000, 0x3F800000, 0xBF800000, 0x7F800000, 0xFF800000, // 0, -0, 1, -1, Inf, -Inf
    0x7FC00000, 0xFFC00000, 0x7FC12345, 0x7F800001, 0xFF800001, 0x7FBFFFFF, // quiet NaNs, payloads, signalling NaNs
    0x00000001, 0x80000001, 0x007FFFFF, 0x00800000, 0x7F7FFFFF, 0xFF7FFFFF, // subnormals, extremes
    0x3F000000, 0xBF000000, 0x40200000, 0xC0200000, 0x3FC00000, 0x4B000001, // 0.5, -0.5, 2.5, -2.5, 1.5, 2^23+1
    0x4F000000, 0x4EFFFFFF, 0x4F800000, 0x40000000, 0x40400000, 0x41200000, // 2^31, below it, 2^32, 2, 3, 10
    0x3F7FFFFF, 0x3F800001};
constexpr std::array<std::uint64_t, 32> doubleSpecials{
    0x0000000000000000, 0x8000000000000000, 0x3FF0000000000000, 0xBFF0000000000000, // 0, -0, 1, -1
    0x7FF0000000000000, 0xFFF0000000000000, 0x7FF8000000000000, 0xFFF8000000000000, // Inf, -Inf, quiet NaNs
    0x7FF8000000012345, 0x7FF0000000000001, 0xFFF0000000000001, 0x7FF7FFFFFFFFFFFF, // payload, signalling NaNs
    0x0000000000000001, 0x800FFFFFFFFFFFFF, 0x0010000000000000, 0x7FEFFFFFFFFFFFFF, // subnormals, extremes
    0x3FE0000000000000, 0xBFE0000000000000, 0x4004000000000000, 0x3FF8000000000000, // 0.5, -0.5, 2.5, 1.5
    0x41DFFFFFFFC00000, 0x41E0000000000000, 0x41EFFFFFFFE00000, 0x41F0000000000000, // 2^31-1, 2^31, 2^32-1, 2^32
    0x40F0000000000000, 0x40C3880000000000, 0x4000000000000000, 0x4008000000000000, // 65536, 10000, 2, 3
    0x4330000000000001, 0x3FEFFFFFFFFFFFFF, 0x36A0000000000000, 0x47EFFFFFE0000000}; // 2^52+1, 1-eps, tiny, single max
// The same values on every platform; those beyond a 32-bit mwSize cannot be
// asked for there (decodeShape).
constexpr std::array<std::uint64_t, 8> hugeSizes{
    0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x100000000, 0x100000001, std::uint64_t(1) << 62,
    std::numeric_limits<std::uint64_t>::max(), 65536};

std::vector<mwSize> decodeShape(Reader& in, unsigned mode)
{
    switch (mode) {
    case 0:
        return {1, 1};
    case 1:
        return {1, mwSize(in.byte() % 9)};
    case 2:
        return {mwSize(in.byte() % 5), mwSize(in.byte() % 5)};
    case 3: {
        std::vector<mwSize> dims(3 + in.byte() % 3);
        for (mwSize& size : dims)
            size = in.byte() % 4;
        return dims;
    }
    case 4: { // near and beyond the 32-bit limits, with a zero size so the array stays empty
        const std::uint8_t pick = in.byte();
        const std::uint64_t wide = hugeSizes[pick % hugeSizes.size()];
        if (wide > std::numeric_limits<mwSize>::max()) {
            // No array of this platform has such a size; the input is
            // replaced, as one the host refuses, and the call is marked.
            in.narrowed = true;
            throw std::length_error("size beyond mwSize");
        }
        const auto huge = static_cast<mwSize>(wide);
        switch ((pick >> 3) % 4) {
        case 0:
            return {huge, 0};
        case 1:
            return {0, huge};
        case 2:
            return {huge, 0, huge};
        default:
            return {1, 1, 0, huge};
        }
    }
    case 5:
        return {mwSize(in.byte() % 9), 1};
    case 6:
        return {mwSize(in.byte() % 4), mwSize(in.byte() % 4), 1, 1};
    default: {
        static constexpr mwSize empties[][2] = {{0, 0}, {1, 0}, {0, 3}, {3, 0}};
        const auto& pick = empties[in.byte() % 4];
        return {pick[0], pick[1]};
    }
    }
}

void fillFloat(Reader& in, void* buffer, std::size_t count, std::size_t width)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < count; ++i, out += width) {
        const std::uint8_t pick = in.byte();
        if (pick >= 0x80) {
            in.bytes(out, width);
        } else if (width == 4) {
            std::memcpy(out, &singleSpecials[pick % singleSpecials.size()], 4);
        } else {
            std::memcpy(out, &doubleSpecials[pick % doubleSpecials.size()], 8);
        }
    }
}

void fillInteger(Reader& in, void* buffer, std::size_t count, std::size_t width)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < count; ++i, out += width) {
        const std::uint8_t pick = in.byte();
        if (pick >= 0x80) {
            in.bytes(out, width);
        } else {
            // Small values and the extremes of the class (all ones, the sign bit, the largest).
            std::memset(out, 0, width);
            switch (pick % 4) {
            case 0:
                out[0] = pick >> 2;
                break;
            case 1:
                std::memset(out, 0xFF, width);
                break;
            case 2:
                out[width - 1] = 0x80;
                break;
            default:
                std::memset(out, 0xFF, width);
                out[width - 1] = 0x7F;
            }
        }
    }
}

constexpr mxClassID numericClasses[] = {mxDOUBLE_CLASS, mxSINGLE_CLASS, mxINT8_CLASS,  mxUINT8_CLASS,
                                        mxINT16_CLASS,  mxUINT16_CLASS, mxINT32_CLASS, mxUINT32_CLASS,
                                        mxINT64_CLASS,  mxUINT64_CLASS};

mxArray* decodeArray(Reader& in, int depth);

mxArray* decodeNumeric(Reader& in, mxClassID classId, bool complex, const std::vector<mwSize>& dims)
{
    mxArray* array = mxCreateNumericArray(dims.size(), dims.data(), classId, complex ? mxCOMPLEX : mxREAL);
    const std::size_t count = mxGetNumberOfElements(array);
    const std::size_t width = mxGetElementSize(array);
    const bool isFloat = classId == mxDOUBLE_CLASS || classId == mxSINGLE_CLASS;
    for (void* buffer : {mxGetData(array), mxGetImagData(array)})
        if (buffer != nullptr && count != 0)
            (isFloat ? fillFloat : fillInteger)(in, buffer, count, width);
    return array;
}

mxArray* decodeSparse(Reader& in, bool complex, const std::vector<mwSize>& dims)
{
    const mwSize m = dims[0], n = dims.size() > 1 ? dims[1] : 1;
    mxArray* array = mxCreateSparse(m, n, 1, complex ? mxCOMPLEX : mxREAL);
    // At most one nonzero, at (0, 0); the other columns start after it.
    if (m != 0 && n != 0 && (in.byte() & 1) != 0) {
        mwIndex* jc = mxGetJc(array);
        for (mwSize j = 1; j <= n; ++j)
            jc[j] = 1;
        mxGetIr(array)[0] = 0;
        fillFloat(in, mxGetPr(array), 1, 8);
        if (complex)
            fillFloat(in, mxGetPi(array), 1, 8);
    }
    return array;
}

mxArray* decodeArray(Reader& in, int depth)
{
    const std::uint8_t kind = in.byte();
    const unsigned classPick = kind % 16;
    const bool complex = (kind & 0x10) != 0;
    std::vector<mwSize> dims = decodeShape(in, kind >> 5);
    static constexpr std::size_t alignment[16] = {8, 8, 1, 2, 8, 4, 1, 1, 2, 2, 4, 4, 8, 8, 8, 8};
    host::setInputOffset(in.offset & ~(alignment[classPick] - 1));
    switch (classPick) {
    case 0: { // cell, holding plain arrays
        const mwSize m = dims[0] % 3, n = (dims.size() > 1 ? dims[1] : 1) % 3;
        host::Array cell(mxCreateCellMatrix(m, n)); // released if an element is refused
        for (mwIndex i = 0; i < m * n; ++i)
            if (depth == 0 && (in.byte() & 1) != 0)
                mxSetCell(cell.get(), i, decodeArray(in, depth + 1));
        return cell.release();
    }
    case 1: {
        static const char* names[] = {"a", "b"};
        return mxCreateStructMatrix(dims[0] % 3, (dims.size() > 1 ? dims[1] : 1) % 3, in.byte() % 3, names);
    }
    case 2: {
        mxArray* array = mxCreateLogicalArray(dims.size(), dims.data());
        const std::size_t count = mxGetNumberOfElements(array);
        mxLogical* values = mxGetLogicals(array);
        for (std::size_t i = 0; i < count; ++i)
            values[i] = in.byte() & 1;
        return array;
    }
    case 3: {
        mxArray* array = mxCreateCharArray(dims.size(), dims.data());
        const std::size_t count = mxGetNumberOfElements(array);
        if (count != 0)
            in.bytes(mxGetChars(array), count * sizeof(mxChar));
        return array;
    }
    case 14:
        return decodeSparse(in, complex, dims);
    case 15: // the set types are picked more often than the others
        return decodeNumeric(in, (kind & 0x20) ? mxDOUBLE_CLASS : mxSINGLE_CLASS, complex, dims);
    default:
        return decodeNumeric(in, numericClasses[classPick - 4], complex, dims);
    }
}

} // namespace

const std::vector<Deliverable>& deliverables()
{
    static const std::vector<Deliverable> loaded = [] {
        std::vector<Deliverable> list;
        std::stringstream names(FPMEX_DELIVERABLE_LIST);
        std::string setAndName;
        while (std::getline(names, setAndName, ',')) {
            const std::string path = std::string(FPMEX_BUILD_DIR) + "/" FPMEX_DELIVERABLE_FOLDER + setAndName + FPMEX_DELIVERABLE_SUFFIX;
            list.push_back({setAndName, setAndName.substr(setAndName.find('/') + 1), host::loadDeliverable(path)});
        }
        return list;
    }();
    return loaded;
}

FuzzCall decodeCall(const std::uint8_t* data, std::size_t size)
{
    Reader in{data, size};
    FuzzCall call;
    const auto& list = deliverables();
    call.target = &list[in.byte() % list.size()];
    const std::uint8_t counts = in.byte();
    call.nlhs = counts & 3;
    const int nrhs = ((counts >> 2) & 7) % 5;
    call.mallocOffset = (counts & 0x80) ? 8 : 0;
    const std::uint8_t placement = in.byte();
    call.mode = callerModes[placement >> 4];

    in.offset = placement & 15;
    for (int i = 0; i < nrhs; ++i) {
        mxArray* array;
        try {
            array = decodeArray(in, 0);
        } catch (const std::exception&) {
            // The host refused the array itself (a size product beyond the
            // address space); an empty double takes its place.
            array = mxCreateDoubleMatrix(0, 0, mxREAL);
        }
        call.inputs.emplace_back(array);
    }
    host::setInputOffset(0);
    call.narrowed = in.narrowed;
    return call;
}

} // namespace fpmex::fuzz
