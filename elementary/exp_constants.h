// Constants of exp's complex path, per element type. The angle of a complex
// element is (y mod P) * K: the imaginary part is measured in turns of the
// period P, the element type's value nearest to 2*pi, and one turn is mapped
// onto 2*pi by K = 2*pi / P. An imaginary part equal to P therefore has the
// angle 0 exactly, so exp of 2*pi*i (2*pi rounded to the element type) is
// exactly 1 + 0i.
#pragma once

#include <bit>
#include <cstdint>

namespace fpmex {

template <class T>
struct ExpConstants;

template <>
struct ExpConstants<float> {
    // 6.283185482025146484375, above 2*pi.
    static constexpr float period = std::bit_cast<float>(std::uint32_t{0x40C90FDB});
    // 0.99999997217246562152947...
    static constexpr std::uint16_t scaleSignExponent = 0x3FFE;
    static constexpr std::uint64_t scaleSignificand = 0xFFFFFF887B4D68AE;
};

template <>
struct ExpConstants<double> {
    // 6.283185307179586231995926937..., below 2*pi.
    static constexpr double period = std::bit_cast<double>(std::uint64_t{0x401921FB54442D18});
    // 1.00000000000000003903127...
    static constexpr std::uint16_t scaleSignExponent = 0x3FFF;
    static constexpr std::uint64_t scaleSignificand = 0x8000000000000168;
};

} // namespace fpmex
