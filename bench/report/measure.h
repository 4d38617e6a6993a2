// Timing and output of the report program: medians of repeated samples,
// printed as CSV lines "column,function,variant,elements,value".
#pragma once

#include "buffer.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace fpmex::report {

using Work = std::function<void()>;

// Median ns per element of `work` on `count` elements. Each sample repeats
// the work to cover about 3*10^5 elements (at most 30000 times); 5 samples
// below 10^6 elements (after one unmeasured warm-up run), 3 up to 10^7, 1
// above (10^8 takes seconds and is steady). faultsPerRun, when given,
// receives the minor page faults per run of the measured samples.
double measure(std::size_t count, const Work& work, double* faultsPerRun = nullptr);

// Several kinds of work on the same elements, in rounds of one sample each,
// their order rotating from round to round, so that all see the same state
// of the shared machine: 11 rounds below 10^6 elements, 7 above, and at
// least `rounds`. medians[j] is the median ns per element of work j;
// ratios[j] the median over the rounds of work 0's time over work j's in
// the same round: a slow spell of the machine that spans a round leaves it
// alone, where it could shift one of the medians.
struct Rounds {
    std::vector<double> medians;
    std::vector<double> ratios;
};
Rounds measureRounds(std::size_t count, const std::vector<Work>& works, int rounds = 0);

void emit(const char* column, const std::string& function, const char* variant, std::size_t count, double value);

// count values spread uniformly over [low, high): a random block of up to
// 2^16 values, repeated (the cost of these kernels does not depend on the
// values beyond their class, and 10^8 random draws would take seconds).
template <class T>
Buffer<T> values(std::size_t count, double low, double high, unsigned seed);

} // namespace fpmex::report
