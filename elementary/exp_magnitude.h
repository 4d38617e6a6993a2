// The x87 core of e^x, shared by the exponential kernel and the benchmark's
// bare loop of the same instructions.
#pragma once

#include "common/x87.h"

namespace fpmex {

// e^x = 2^n * 2^f with t = x * log2(e), n = t rounded to nearest and
// f = t - n (exact, |f| <= 1/2, the domain of F2XM1). For a finite nonzero
// x; beyond the extended range FSCALE gives +Inf or +0.
inline x87::Extended expMagnitude(x87::Extended x, x87::Extended log2e)
{
    const x87::Extended t = x * log2e;
    const x87::Extended n = x87::frndint(t);
    return x87::fscale(x87::f2xm1(t - n) + 1, n);
}

} // namespace fpmex
