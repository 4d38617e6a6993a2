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

#define FPMEX_BENCH_EXPORT extern "C" __attribute__((visibility("default")))

FPMEX_BENCH_EXPORT void fpmex_bench_single_log2(float* out, float* outIm, const float* in, std::size_t n)
{
    fpmex::logKernel<float, LogBase::two>(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_single_log(float* out, float* outIm, const float* in, std::size_t n)
{
    fpmex::logKernel<float, LogBase::natural>(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_single_log10(float* out, float* outIm, const float* in, std::size_t n)
{
    fpmex::logKernel<float, LogBase::ten>(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_single_exp(float* out, float* outIm, const float* in, std::size_t n)
{
    fpmex::expKernel<float>(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_single_floor(float* out, float* outIm, const float* in, std::size_t n)
{
    fpmex::floorKernel(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_double_log2(double* out, double* outIm, const double* in, std::size_t n)
{
    fpmex::logKernel<double, LogBase::two>(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_double_log10(double* out, double* outIm, const double* in, std::size_t n)
{
    fpmex::logKernel<double, LogBase::ten>(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_double_exp(double* out, double* outIm, const double* in, std::size_t n)
{
    fpmex::expKernel<double>(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_double_sqrt(double* out, double* outIm, const double* in, std::size_t n)
{
    fpmex::sqrtKernel(out, outIm, in, nullptr, n);
}
FPMEX_BENCH_EXPORT void fpmex_bench_double_round(double* out, double* outIm, const double* in, std::size_t n)
{
    fpmex::roundKernel(out, outIm, in, nullptr, n);
}
