// Classification of an element from its IEEE bits. It gives what FXAM
// reports for the same value once loaded into the x87 unit (a denormal of
// the element type is a finite nonzero value there), but costs a few integer
// instructions instead of FXAM and a status word transfer per element.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace fpmex {

enum class Kind { finite, zero, infinity, nan };

template <class T>
inline Kind kindOf(T x) noexcept
{
    using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
    constexpr Bits signMask = Bits{1} << (sizeof(T) * 8 - 1);
    // The exponent field all ones: the bits of +Inf.
    constexpr Bits exponentMask = std::bit_cast<Bits>(std::numeric_limits<T>::infinity());
    const Bits magnitude = std::bit_cast<Bits>(x) & ~signMask;
    if (magnitude == 0)
        return Kind::zero;
    if (magnitude < exponentMask)
        return Kind::finite;
    return magnitude == exponentMask ? Kind::infinity : Kind::nan;
}

// The IEEE sign bit, also of zeros and NaNs.
template <class T>
inline bool signOf(T x) noexcept
{
    using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
    return (std::bit_cast<Bits>(x) >> (sizeof(T) * 8 - 1)) != 0;
}

} // namespace fpmex
