// The kernels NumPy's loops are held to, as C functions for report_numpy.py,
// which times each beside NumPy's own loop in one process, on the same
// arrays, round by round. Each takes (out, outIm, in, count) for real input;
// outIm receives what the kernel writes there (nothing for these inputs).
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "logarithms/log_kernel.h"

#include <cstddef>

using fpmex::LogBase;

// fpmex_bench_NAME: the kernel named by the rest of the arguments.
#define FPMEX_BENCH_KERNEL(name, T, ...)                                                                    \
    extern "C" __attribute__((visibility("default"))) void fpmex_bench_##name(T* out, T* outIm, const T* in, \
                                                                               std::size_t n)                \
    {                                                                                                        \
        __VA_ARGS__(out, outIm, in, nullptr, n);                                                             \
    }

FPMEX_BENCH_KERNEL(single_log2, float, fpmex::logKernel<float, LogBase::two>)
FPMEX_BENCH_KERNEL(single_log, float, fpmex::logKernel<float, LogBase::natural>)
FPMEX_BENCH_KERNEL(single_log10, float, fpmex::logKernel<float, LogBase::ten>)
FPMEX_BENCH_KERNEL(single_exp, float, fpmex::expKernel<float>)
FPMEX_BENCH_KERNEL(single_floor, float, fpmex::floorKernel)
FPMEX_BENCH_KERNEL(double_log2, double, fpmex::logKernel<double, LogBase::two>)
FPMEX_BENCH_KERNEL(double_log10, double, fpmex::logKernel<double, LogBase::ten>)
FPMEX_BENCH_KERNEL(double_exp, double, fpmex::expKernel<double>)
FPMEX_BENCH_KERNEL(double_sqrt, double, fpmex::sqrtKernel)
FPMEX_BENCH_KERNEL(double_round, double, fpmex::roundKernel)
