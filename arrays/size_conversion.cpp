#include "size_conversion.h"

#include "common/fp_state.h"
#include "common/x87.h"

#include <limits>

namespace fpmex {
namespace {

constexpr std::int32_t integerIndefinite = std::numeric_limits<std::int32_t>::min();

} // namespace

// Contract: values are finite or not, of either sign; every entry of sizes
// is written. FIST of a value of 2^31 or more gives the integer indefinite,
// which is reported instead of being passed on as a negative size.
template <class T>
bool convertSizes(const T* values, std::size_t count, std::size_t* sizes)
{
    bool representable = true;
    FpStateGuard guard;
    x87LoadControl(x87SizeConversion);
    for (std::size_t i = 0; i < count; ++i) {
        x87::Extended v = values[i];
        if (!(v >= 0)) // an unordered comparison (NaN) counts as below
            v = 0;
        const std::int32_t size = x87::fist32(v);
        if (size == integerIndefinite) {
            representable = false;
            sizes[i] = 0;
        } else {
            // The comparison above may be compiled to SSE, where a caller's
            // denormals-are-zero lets a negative subnormal pass as zero; it
            // then rounds down to -1 here and still means no elements.
            sizes[i] = size < 0 ? 0 : static_cast<std::size_t>(size);
        }
    }
    return representable;
}

template bool convertSizes<float>(const float*, std::size_t, std::size_t*);
template bool convertSizes<double>(const double*, std::size_t, std::size_t*);

std::int32_t truncateToInt32(double v)
{
    FpStateGuard guard;
    x87LoadControl(x87Truncate);
    return x87::fist32(v);
}

} // namespace fpmex
