// Times, in one process, every deliverable's kernel on warm preallocated
// buffers, the whole call through the embedded host, glibc's libm in a plain
// loop, and the limits: memory bandwidth of plain copy/add/fill loops, bare
// loops of the same x87 instructions, and the page-fault cost of fresh output
// memory. Prints CSV lines "column,function,variant,elements,ns_per_element",
// each figure the median of repeated samples.
//
// Usage: report_bench HOST_DIR [growth] [SIZES...]   (HOST_DIR holds single/
// and double/). With "growth" only the main functions' kernels and calls and
// the fresh-page cost are timed, for the cost-growth series.
#include "arrays/fill_ones.h"
#include "arrays/prod_kernels.h"
#include "common/x87.h"
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "fpmex_host.h"
#include "logarithms/log_kernel.h"
#include "operators/add_kernel.h"
#include "operators/less_kernel.h"

#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
volatile double sink;

// Median ns per element of `work`: samples of enough repetitions to cover
// about 3*10^5 elements each; one unmeasured warm-up call below 10^6
// elements, where it is cheap.
double measure(std::size_t count, const std::function<void()>& work)
{
    if (count < 1000000)
        work();
    const std::size_t reps = std::max<std::size_t>(1, 300000 / count);
    const int samples = count >= 1000000 ? 3 : 5;
    std::vector<double> ns;
    for (int s = 0; s < samples; ++s) {
        const auto start = Clock::now();
        for (std::size_t r = 0; r < reps; ++r)
            work();
        const std::chrono::duration<double, std::nano> took = Clock::now() - start;
        ns.push_back(took.count() / double(reps) / double(count));
    }
    std::nth_element(ns.begin(), ns.begin() + ns.size() / 2, ns.end());
    return ns[ns.size() / 2];
}

void emit(const char* column, const std::string& function, const char* variant, std::size_t count, double ns)
{
    std::printf("%s,%s,%s,%zu,%.4g\n", column, function.c_str(), variant, count, ns);
    std::fflush(stdout);
}

// Operand values of each function's domain: logarithms and sqrt positive,
// exp within its finite range, the rest spread over both signs.
template <class T>
std::vector<T> values(std::size_t count, double low, double high, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(low, high);
    std::vector<T> v(count);
    for (auto& x : v)
        x = T(dist(rng));
    return v;
}

struct Case {
    std::string function; // "single/log2"
    bool complex;
    double low, high;
};

template <class T>
mxArray* makeInput(const std::vector<T>& re, std::type_identity_t<const std::vector<T>*> im)
{
    const mxClassID id = sizeof(T) == 4 ? mxSINGLE_CLASS : mxDOUBLE_CLASS;
    mxArray* a = mxCreateNumericMatrix(re.size(), 1, id, im ? mxCOMPLEX : mxREAL);
    std::memcpy(mxGetData(a), re.data(), re.size() * sizeof(T));
    if (im)
        std::memcpy(mxGetImagData(a), im->data(), im->size() * sizeof(T));
    return a;
}

// Whole call of a deliverable through the embedded host: frame, output
// allocation (fresh memory) and kernel, plus the host's own fault checks.
void hostCall(const std::string& hostDir, const std::string& function, std::size_t count,
              std::vector<mxArray*> inputs, const char* variant)
{
    auto fn = fpmex::host::loadDeliverable(hostDir + "/" + function + ".so");
    std::vector<const mxArray*> in(inputs.begin(), inputs.end());
    const double ns = measure(count, [&] {
        auto result = fpmex::host::call(fn, 1, in);
        if (result.failed || !result.faults.empty()) {
            std::fprintf(stderr, "%s: %s %s\n", function.c_str(), result.error.c_str(),
                         result.faults.empty() ? "" : result.faults[0].c_str());
            std::exit(1);
        }
    });
    emit("call", function, variant, count, ns);
    for (auto* a : inputs)
        mxDestroyArray(a);
}

bool growthOnly = false;

template <class T, class Kernel>
void unary(const std::string& hostDir, const std::string& function, std::size_t n, double low, double high,
           bool withComplex, Kernel kernel, T (*libm)(T))
{
    auto re = values<T>(n, low, high, 1);
    auto im = values<T>(n, low, high, 2);
    std::vector<T> outRe(n), outIm(n);
    emit("kernel", function, "real", n, measure(n, [&] { kernel(outRe.data(), outIm.data(), re.data(), nullptr, n); }));
    if (libm && !growthOnly)
        emit("libm", function, "real", n, measure(n, [&] {
                 for (std::size_t k = 0; k < n; ++k)
                     outRe[k] = libm(re[k]);
             }));
    hostCall(hostDir, function, n, {makeInput(re, nullptr)}, "real");
    if (withComplex && !growthOnly) {
        emit("kernel", function, "complex", n,
             measure(n, [&] { kernel(outRe.data(), outIm.data(), re.data(), im.data(), n); }));
        hostCall(hostDir, function, n, {makeInput(re, &im)}, "complex");
    }
}

template <class T, fpmex::LogBase base>
void logKernelCall(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t n)
{
    fpmex::logKernel<T, base>(outRe, outIm, inRe, inIm, n);
}

double roundHalfUp(double x) { return std::floor(x + 0.5); }

// Bare loops of each kernel's x87 work on doubles: load, the instructions,
// store. No special-value classification, no mode switching.
void bareLog(double* out, const double* in, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k)
        out[k] = double(fpmex::x87::fyl2x(fpmex::x87::fldln2(), in[k]));
}
void bareExp(double* out, const double* in, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k) {
        const long double t = (long double)in[k] * fpmex::x87::fldl2e();
        const long double i = fpmex::x87::frndint(t);
        out[k] = double(fpmex::x87::fscale(fpmex::x87::f2xm1(t - i) + 1.0L, i));
    }
}
void bareSqrt(double* out, const double* in, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k)
        out[k] = double(fpmex::x87::fsqrt(in[k]));
}
void bareRound(double* out, const double* in, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k)
        out[k] = double(fpmex::x87::frndint(in[k]));
}
void bareProd(double* out, const double* in, std::size_t n)
{
    long double p = 1.0L;
    for (std::size_t k = 0; k < n; ++k)
        p *= in[k];
    out[0] = double(p);
}

void limits(std::size_t n)
{
    auto a = values<float>(n, -1000, 1000, 3);
    auto b = values<float>(n, -1000, 1000, 4);
    std::vector<float> out(n);
    emit("limit", "copy", "float", n, measure(n, [&] { std::memcpy(out.data(), a.data(), n * 4); sink = out[n / 2]; }));
    emit("limit", "add", "float", n, measure(n, [&] {
             for (std::size_t k = 0; k < n; ++k)
                 out[k] = a[k] + b[k];
             sink = out[n / 2];
         }));
    emit("limit", "fill", "float", n, measure(n, [&] {
             std::fill(out.begin(), out.end(), 1.0f);
             sink = out[n / 2];
         }));
    auto d = values<double>(n, 0.5, 1000, 5);
    std::vector<double> dout(n);
    const std::pair<const char*, void (*)(double*, const double*, std::size_t)> bare[] = {
        {"x87_log", bareLog}, {"x87_exp", bareExp}, {"x87_sqrt", bareSqrt}, {"x87_round", bareRound},
        {"x87_prod", bareProd}};
    for (const auto& [name, loop] : bare)
        emit("limit", name, "double", n, measure(n, [&] { loop(dout.data(), d.data(), n); sink = dout[0]; }));
}

// First touch of fresh pages: map, write one byte per page, unmap; per
// float element of an output that size.
void freshPages(std::size_t n)
{
    const std::size_t bytes = n * 4;
    emit("limit", "fresh_pages", "float", n, measure(n, [&] {
             void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
             auto* c = static_cast<volatile char*>(p);
             for (std::size_t k = 0; k < bytes; k += 4096)
                 c[k] = 1;
             munmap(p, bytes);
         }));
}

void growth(const std::string& host, std::size_t n)
{
    using fpmex::LogBase;
    freshPages(n);
    unary<float>(host, "single/log2", n, 0.5, 1000, false, logKernelCall<float, LogBase::two>, nullptr);
    unary<double>(host, "double/exp", n, -10, 10, false, fpmex::expKernel<double>, nullptr);
    auto a = values<float>(n, -1000, 1000, 6), b = values<float>(n, -1000, 1000, 7);
    std::vector<float> o(n);
    emit("kernel", "single/plus", "real", n,
         measure(n, [&] { fpmex::operators::addArrays(o.data(), nullptr, a.data(), nullptr, b.data(), nullptr, n); }));
    hostCall(host, "single/plus", n, {makeInput(a, nullptr), makeInput(b, nullptr)}, "real");
    emit("kernel", "single/ones", "real", n, measure(n, [&] { fpmex::fillOnes(o.data(), n); }));
    hostCall(host, "single/ones", n, {mxCreateDoubleScalar(double(n)), mxCreateDoubleScalar(1.0)}, "real");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: report_bench HOST_DIR [growth] [SIZES...]\n");
        return 2;
    }
    const std::string host = argv[1];
    int first = 2;
    if (argc > 2 && std::strcmp(argv[2], "growth") == 0) {
        growthOnly = true;
        ++first;
    }
    std::vector<std::size_t> sizes;
    for (int i = first; i < argc; ++i)
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {1000, 100000, 10000000};
    using fpmex::LogBase;
    if (growthOnly) {
        for (std::size_t n : sizes)
            growth(host, n);
        return 0;
    }
    for (std::size_t n : sizes) {
        limits(n);
        freshPages(n);
        unary<float>(host, "single/log2", n, 0.5, 1000, true, logKernelCall<float, LogBase::two>, std::log2);
        unary<float>(host, "single/log", n, 0.5, 1000, true, logKernelCall<float, LogBase::natural>, std::log);
        unary<float>(host, "single/log10", n, 0.5, 1000, true, logKernelCall<float, LogBase::ten>, std::log10);
        unary<float>(host, "single/exp", n, -10, 10, true, fpmex::expKernel<float>, std::exp);
        unary<float>(host, "single/floor", n, -1000, 1000, true, fpmex::floorKernel, std::floor);
        unary<double>(host, "double/log2", n, 0.5, 1000, true, logKernelCall<double, LogBase::two>, std::log2);
        unary<double>(host, "double/log10", n, 0.5, 1000, true, logKernelCall<double, LogBase::ten>, std::log10);
        unary<double>(host, "double/exp", n, -10, 10, true, fpmex::expKernel<double>, std::exp);
        unary<double>(host, "double/sqrt", n, 0.5, 1000, true, fpmex::sqrtKernel, std::sqrt);
        unary<double>(host, "double/round", n, -1000, 1000, true, fpmex::roundKernel, roundHalfUp);

        auto a = values<float>(n, -1000, 1000, 6), b = values<float>(n, -1000, 1000, 7);
        auto ai = values<float>(n, -1000, 1000, 8), bi = values<float>(n, -1000, 1000, 9);
        std::vector<float> o(n), oi(n);
        std::vector<unsigned char> mask(n);
        emit("kernel", "single/plus", "real", n,
             measure(n, [&] { fpmex::operators::addArrays(o.data(), nullptr, a.data(), nullptr, b.data(), nullptr, n); }));
        emit("kernel", "single/plus", "complex", n, measure(n, [&] {
                 fpmex::operators::addArrays(o.data(), oi.data(), a.data(), ai.data(), b.data(), bi.data(), n);
             }));
        emit("libm", "single/plus", "real", n, measure(n, [&] {
                 for (std::size_t k = 0; k < n; ++k)
                     o[k] = a[k] + b[k];
                 sink = o[n / 2];
             }));
        hostCall(host, "single/plus", n, {makeInput(a, nullptr), makeInput(b, nullptr)}, "real");
        hostCall(host, "single/plus", n, {makeInput(a, &ai), makeInput(b, &bi)}, "complex");
        emit("kernel", "single/lt", "real", n, measure(n, [&] { fpmex::operators::lessArrays(mask.data(), a.data(), b.data(), n); }));
        emit("libm", "single/lt", "real", n, measure(n, [&] {
                 for (std::size_t k = 0; k < n; ++k)
                     mask[k] = a[k] < b[k];
                 sink = mask[n / 2];
             }));
        hostCall(host, "single/lt", n, {makeInput(a, nullptr), makeInput(b, nullptr)}, "real");
        auto p = values<float>(n, 0.999, 1.001, 10), pi = values<float>(n, -0.001, 0.001, 11);
        emit("kernel", "single/prod", "real", n, measure(n, [&] { fpmex::prodRealRuns(o.data(), p.data(), n, 1); }));
        emit("kernel", "single/prod", "complex", n,
             measure(n, [&] { fpmex::prodComplexRuns(o.data(), oi.data(), p.data(), pi.data(), n, 1); }));
        emit("libm", "single/prod", "real", n, measure(n, [&] {
                 float q = 1.0f;
                 for (std::size_t k = 0; k < n; ++k)
                     q *= p[k];
                 sink = q;
             }));
        hostCall(host, "single/prod", n, {makeInput(p, nullptr)}, "real");
        hostCall(host, "single/prod", n, {makeInput(p, &pi)}, "complex");
        emit("kernel", "single/ones", "real", n, measure(n, [&] { fpmex::fillOnes(o.data(), n); }));
        emit("libm", "single/ones", "real", n, measure(n, [&] {
                 std::fill(o.begin(), o.end(), 1.0f);
                 sink = o[n / 2];
             }));
        {
            mxArray* rows = mxCreateDoubleScalar(double(n));
            mxArray* cols = mxCreateDoubleScalar(1.0);
            hostCall(host, "single/ones", n, {rows, cols}, "real");
        }
        hostCall(host, "single/pi", 1, {}, "real");
    }
    return 0;
}
