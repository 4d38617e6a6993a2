// The element counts from which a kernel splits across the worker pool, by
// what an element costs. Below them the wake-up of the workers and the
// wait for the last chunk cost more than the split saves. Measured with
// bench/split (docs/performance.md has the figures).
#pragma once

#include <cstddef>

namespace fpmex::split {

// x87 paths: the complex paths, and every path where the processor has no
// vector variant (10 to 75 ns an element).
inline constexpr std::size_t x87Elements = 2048;
// Vector logarithms and exponential (1 to 6 ns an element), and prod,
// counted in factors (5 accumulators on the x87 unit, about 1 ns a factor).
inline constexpr std::size_t vectorMathElements = 16384;
// Passes bound by memory: floor, round, sqrt, [F, E], plus, lt, the
// operand conversions and ones (well under 1 ns an element).
inline constexpr std::size_t streamingElements = 131072;

} // namespace fpmex::split
