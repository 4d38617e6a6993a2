// One kernel at every level: the x87 reference and the vector variants that
// give the same bits. A kernel is called by its contract's name; behind that
// name the variant of the active level runs, or of the highest level below
// it that has one (at the bottom, always the x87 reference). The entries
// split large runs into chunks of that variant across the worker pool
// (common/split.h); each chunk sets and restores its own floating-point
// state, as every variant does.
#pragma once

#include "cpu_level.h"

namespace fpmex {

template <class Fn>
struct KernelVariants {
    Fn x87;
    Fn sse2 = nullptr;
    Fn avx2 = nullptr;
    Fn avx512 = nullptr;

    // The variant that runs at `level`.
    Fn at(CpuLevel level) const
    {
        switch (level) {
        case CpuLevel::avx512:
            if (avx512 != nullptr)
                return avx512;
            [[fallthrough]];
        case CpuLevel::avx2:
            if (avx2 != nullptr)
                return avx2;
            [[fallthrough]];
        case CpuLevel::sse2:
            if (sse2 != nullptr)
                return sse2;
            [[fallthrough]];
        case CpuLevel::x87:
            break;
        }
        return x87;
    }

    // The level whose own variant runs at `level`.
    CpuLevel levelAt(CpuLevel level) const
    {
        const Fn fn = at(level);
        if (fn == avx512)
            return CpuLevel::avx512;
        if (fn == avx2)
            return CpuLevel::avx2;
        return fn == sse2 ? CpuLevel::sse2 : CpuLevel::x87;
    }
};

// The variant of the active level, looked up once per kernel.
template <class Fn>
Fn activeVariant(const KernelVariants<Fn>& variants)
{
    return variants.at(activeLevel());
}

} // namespace fpmex
