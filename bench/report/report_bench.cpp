// Times, in one process, every deliverable's kernel on warm preallocated
// buffers beside its limit (a bare loop of the same x87 instructions, or a
// plain loop moving the same bytes), the whole call through the embedded
// host with the page faults it takes, glibc's libm in a plain loop, and the
// page-fault cost of fresh output memory. Prints CSV lines
// "column,function,variant,elements,value": ns per element, page faults per
// element (column "faults"), or a ratio of two timings taken in the same
// rounds (columns ending in "_ratio").
//
// Column "level" names, as its index in fpmex::allCpuLevels, the level
// whose kernel variant a row's figures come from.
//
// Usage: report_bench HOST_DIR main SIZES...   every column at each size
//        report_bench HOST_DIR growth SIZES... kernels and calls, real inputs
//        report_bench HOST_DIR targets         the comparisons the functions
//                                              are held to, at their sizes
//        report_bench HOST_DIR threads         the split kernels at 2 threads
//                                              beside 1
//        report_bench HOST_DIR thread-calls    their whole calls at this
//                                              process's thread count
// Column "threads" holds the thread count of the other figures of main and
// targets (FPMEX_NUM_THREADS, or the processors of the process).
// HOST_DIR holds the deliverables' single/ and double/ folders.
#include "arrays/fill_ones.h"
#include "arrays/prod_kernels.h"
#include "bare_loops.h"
#include "common/cpu_level.h"
#include "common/worker_pool.h"
#include "bench/arrays/plain_loops.h"
#include "bench/logarithms/bare_loops.h"
#include "bench/operators/plain_loops.h"
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "fpmex_host.h"
#include "logarithms/log_kernel.h"
#include "measure.h"
#include "operators/add_kernel.h"
#include "operators/less_kernel.h"

#include <sys/mman.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using namespace fpmex::report;
using fpmex::LogBase;

volatile double sink;

template <class T>
using Unary = void (*)(T*, T*, const T*, const T*, std::size_t);

template <class T>
mxArray* makeInput(const Buffer<T>& re, std::type_identity_t<const Buffer<T>*> im)
{
    const mxClassID id = sizeof(T) == 4 ? mxSINGLE_CLASS : mxDOUBLE_CLASS;
    mxArray* a = mxCreateNumericMatrix(re.size(), 1, id, im ? mxCOMPLEX : mxREAL);
    std::memcpy(mxGetData(a), re.data(), re.size() * sizeof(T));
    if (im)
        std::memcpy(mxGetImagData(a), im->data(), im->size() * sizeof(T));
    return a;
}

std::string hostDir;

// Whole call of a deliverable through the embedded host: frame, output
// allocation and kernel, plus the host's own checks (a checksum of every
// input before and after, guard zones around every block). Also emits the
// minor page faults per element the call takes.
void hostCall(const std::string& function, std::size_t count, std::vector<mxArray*> inputs, const char* variant)
{
    auto fn = fpmex::host::loadDeliverable(hostDir + "/" + function + ".so");
    std::vector<const mxArray*> in(inputs.begin(), inputs.end());
    double faults = 0;
    const double ns = measure(
        count,
        [&] {
            auto result = fpmex::host::call(fn, 1, in);
            if (result.failed || !result.faults.empty()) {
                std::fprintf(stderr, "%s: %s %s\n", function.c_str(), result.error.c_str(),
                             result.faults.empty() ? "" : result.faults[0].c_str());
                std::exit(1);
            }
        },
        &faults);
    emit("call", function, variant, count, ns);
    emit("faults", function, variant, count, faults / double(count));
    for (auto* a : inputs)
        mxDestroyArray(a);
}

// An elementwise deliverable: its kernel, the bare loop of the same x87
// instructions, glibc's function (null: none) and the range of its operands
// (logarithms and sqrt positive, exp within its finite range).
template <class T>
struct UnaryCase {
    const char* function;
    double low, high;
    Unary<T> kernel;
    Unary<T> bare;
    T (*libm)(T);
    fpmex::CpuLevel (*level)(bool complex); // the level its kernel runs at here
};

// The active level where the kernel has a variant of its own for that
// input, else the x87 reference.
template <class Variants>
fpmex::CpuLevel realLevel(const Variants& variants)
{
    return variants.levelAt(fpmex::activeLevel());
}

// vectorComplex: the kernel's complex path has vector variants, from AVX2
// on.
template <const auto& (*variants)(), bool vectorComplex>
fpmex::CpuLevel levelOf(bool complex)
{
    const fpmex::CpuLevel level = realLevel(variants());
    if (complex && !(vectorComplex && level >= fpmex::CpuLevel::avx2))
        return fpmex::CpuLevel::x87;
    return level;
}

const auto& singleLog2() { return fpmex::logKernelVariants<float, LogBase::two>(); }
const auto& singleLog() { return fpmex::logKernelVariants<float, LogBase::natural>(); }
const auto& singleLog10() { return fpmex::logKernelVariants<float, LogBase::ten>(); }
const auto& doubleLog2() { return fpmex::logKernelVariants<double, LogBase::two>(); }
const auto& doubleLog10() { return fpmex::logKernelVariants<double, LogBase::ten>(); }
const auto& singleExp() { return fpmex::expKernelVariants<float>(); }
const auto& doubleExp() { return fpmex::expKernelVariants<double>(); }

template <class T, LogBase base>
void logKernel(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t n)
{
    fpmex::logKernel<T, base>(outRe, outIm, inRe, inIm, n);
}

template <class T, LogBase base>
void bareLog(T* outRe, T* outIm, const T* inRe, const T* inIm, std::size_t n)
{
    if (inIm)
        fpmex::bench::bareComplexLoop<T, base>(outRe, outIm, inRe, inIm, n);
    else
        fpmex::bench::bareRealLoop<T, base>(outRe, inRe, n);
}

void sqrtKernel(double* outRe, double* outIm, const double* inRe, const double* inIm, std::size_t n)
{
    fpmex::sqrtKernel(outRe, outIm, inRe, inIm, n);
}

double roundHalfUp(double x) { return std::floor(x + 0.5); }

const UnaryCase<float> singleCases[] = {
    {"single/log2", 0.5, 1000, logKernel<float, LogBase::two>, bareLog<float, LogBase::two>, std::log2,
     levelOf<singleLog2, true>},
    {"single/log", 0.5, 1000, logKernel<float, LogBase::natural>, bareLog<float, LogBase::natural>, std::log,
     levelOf<singleLog, true>},
    {"single/log10", 0.5, 1000, logKernel<float, LogBase::ten>, bareLog<float, LogBase::ten>, std::log10,
     levelOf<singleLog10, true>},
    {"single/exp", -10, 10, fpmex::expKernel<float>, bareExp<float>, std::exp, levelOf<singleExp, true>},
    {"single/floor", -1000, 1000, fpmex::floorKernel, bareFloor, std::floor,
     levelOf<fpmex::floorKernelVariants, true>},
};
const UnaryCase<double> doubleCases[] = {
    {"double/log2", 0.5, 1000, logKernel<double, LogBase::two>, bareLog<double, LogBase::two>, std::log2,
     levelOf<doubleLog2, true>},
    {"double/log10", 0.5, 1000, logKernel<double, LogBase::ten>, bareLog<double, LogBase::ten>, std::log10,
     levelOf<doubleLog10, true>},
    {"double/exp", -10, 10, fpmex::expKernel<double>, bareExp<double>, std::exp, levelOf<doubleExp, true>},
    {"double/sqrt", 0.5, 1000, sqrtKernel, bareSqrt, std::sqrt, levelOf<fpmex::sqrtKernelVariants, true>},
    {"double/round", -1000, 1000, fpmex::roundKernel, bareRound, roundHalfUp,
     levelOf<fpmex::roundKernelVariants, true>},
};

// Kernel and limit of one variant (and glibc's loop, when given), timed in
// rounds: columns kernel, bare, libm, and the within-round ratios
// pair_ratio (kernel / bare) and libm_ratio (kernel / libm).
void pair(const char* function, const char* variant, std::size_t n, const Work& kernel, const Work& limit,
          const Work& libm = nullptr)
{
    std::vector<Work> works{kernel, limit};
    if (libm)
        works.push_back(libm);
    const Rounds r = measureRounds(n, works);
    emit("kernel", function, variant, n, r.medians[0]);
    emit("bare", function, variant, n, r.medians[1]);
    emit("pair_ratio", function, variant, n, r.ratios[1]);
    if (libm) {
        emit("libm", function, variant, n, r.medians[2]);
        emit("libm_ratio", function, variant, n, r.ratios[2]);
    }
}

template <class T>
void unary(const UnaryCase<T>& c, std::size_t n, bool growth)
{
    auto re = values<T>(n, c.low, c.high, 1);
    Buffer<T> outRe(n), outIm(n);
    if (growth) {
        emit("kernel", c.function, "real", n,
             measure(n, [&] { c.kernel(outRe.data(), outIm.data(), re.data(), nullptr, n); }));
        hostCall(c.function, n, {makeInput(re, nullptr)}, "real");
        return;
    }
    auto im = values<T>(n, c.low, c.high, 2);
    for (bool complex : {false, true})
        emit("level", c.function, complex ? "complex" : "real", n, static_cast<double>(c.level(complex)));
    auto libm = [&] {
        for (std::size_t k = 0; k < n; ++k)
            outRe[k] = c.libm(re[k]);
    };
    for (const T* inIm : {static_cast<const T*>(nullptr), static_cast<const T*>(im.data())}) {
        const char* variant = inIm ? "complex" : "real";
        pair(
            c.function, variant, n, [&] { c.kernel(outRe.data(), outIm.data(), re.data(), inIm, n); },
            [&] { c.bare(outRe.data(), outIm.data(), re.data(), inIm, n); }, inIm ? Work() : Work(libm));
        hostCall(c.function, n, {makeInput(re, inIm ? &im : nullptr)}, variant);
    }
}

// Operands of plus, lt and prod: a, b and their imaginary parts; prod's
// factors near 1 keep long products finite.
struct Operands {
    Buffer<float> a, b, ai, bi, p, pi;
    Buffer<float> out, outIm;
    Buffer<unsigned char> mask;
    explicit Operands(std::size_t n)
        : a(values<float>(n, -1000, 1000, 6)), b(values<float>(n, -1000, 1000, 7)),
          ai(values<float>(n, -1000, 1000, 8)), bi(values<float>(n, -1000, 1000, 9)),
          p(values<float>(n, 0.999, 1.001, 10)), pi(values<float>(n, -0.001, 0.001, 11)), out(n), outIm(n), mask(n)
    {
    }
};

void plusKernel(Operands& o, bool complex, std::size_t n)
{
    fpmex::operators::addArrays(o.out.data(), complex ? o.outIm.data() : nullptr, o.a.data(),
                                complex ? o.ai.data() : nullptr, o.b.data(), complex ? o.bi.data() : nullptr, n);
}

void plusPlain(Operands& o, bool complex, std::size_t n)
{
    if (complex)
        fpmex::bench::plainAddComplex(o.out.data(), o.outIm.data(), o.a.data(), o.ai.data(), o.b.data(), o.bi.data(),
                                      n);
    else
        fpmex::bench::plainAdd(o.out.data(), o.a.data(), o.b.data(), n);
}

// plus, lt, prod and ones at one size; in growth mode real inputs only,
// kernel and call.
void arrays(std::size_t n, bool growth)
{
    Operands o(n);
    for (bool complex : {false, true}) {
        if (growth && complex)
            break;
        const char* variant = complex ? "complex" : "real";
        auto rePart = [](const Buffer<float>& v) { return makeInput(v, nullptr); };
        auto both = [](const Buffer<float>& re, const Buffer<float>& im) { return makeInput(re, &im); };
        if (growth)
            emit("kernel", "single/plus", variant, n, measure(n, [&] { plusKernel(o, complex, n); }));
        else
            pair("single/plus", variant, n, [&] { plusKernel(o, complex, n); }, [&] { plusPlain(o, complex, n); });
        hostCall("single/plus", n,
                 {complex ? both(o.a, o.ai) : rePart(o.a), complex ? both(o.b, o.bi) : rePart(o.b)}, variant);

        const float* pIm = complex ? o.pi.data() : nullptr;
        auto prodKernel = [&] {
            if (complex)
                fpmex::prodComplexRuns(o.out.data(), o.outIm.data(), o.p.data(), pIm, n, 1);
            else
                fpmex::prodRealRuns(o.out.data(), o.p.data(), n, 1);
        };
        if (growth)
            emit("kernel", "single/prod", variant, n, measure(n, prodKernel));
        else
            pair("single/prod", variant, n, prodKernel,
                 [&] { bareProd(o.out.data(), o.outIm.data(), o.p.data(), pIm, n); });
        hostCall("single/prod", n, {complex ? both(o.p, o.pi) : rePart(o.p)}, variant);
    }

    auto lessKernel = [&] { fpmex::operators::lessArrays(o.mask.data(), o.a.data(), o.b.data(), n); };
    auto onesKernel = [&] { fpmex::fillOnes(o.out.data(), n); };
    if (growth) {
        emit("kernel", "single/lt", "real", n, measure(n, lessKernel));
        emit("kernel", "single/ones", "real", n, measure(n, onesKernel));
    } else {
        pair("single/lt", "real", n, lessKernel,
             [&] { fpmex::bench::plainLess(o.mask.data(), o.a.data(), o.b.data(), n); });
        pair("single/ones", "real", n, onesKernel, [&] {
            std::memset(o.out.data(), 0x3F, n * sizeof(float));
            sink = o.out[n / 2];
        });
    }
    hostCall("single/lt", n, {makeInput(o.a, nullptr), makeInput(o.b, nullptr)}, "real");
    hostCall("single/ones", n, {mxCreateDoubleScalar(double(n)), mxCreateDoubleScalar(1.0)}, "real");
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

void everyFunction(std::size_t n, bool growth)
{
    freshPages(n);
    for (const auto& c : singleCases)
        unary(c, n, growth);
    for (const auto& c : doubleCases)
        unary(c, n, growth);
    arrays(n, growth);
}

// Kernel beside its baseline, timed in rounds: columns ours, base and
// pair_ratio. Each sample takes milliseconds at most, so 15 rounds cost
// little and steady the medians.
void target(const char* function, const char* variant, std::size_t n, const Work& ours, const Work& base)
{
    const Rounds r = measureRounds(n, {ours, base}, 15);
    emit("ours", function, variant, n, r.medians[0]);
    emit("base", function, variant, n, r.medians[1]);
    emit("pair_ratio", function, variant, n, r.ratios[1]);
}

// The real paths of floor, round and sqrt beside a plain loop moving the
// same bytes (sqrt writes both of its output buffers).
void bandwidthTargets(std::size_t n)
{
    auto singles = values<float>(n, -1000, 1000, 13);
    auto doubles = values<double>(n, 0.5, 1000, 14);
    Buffer<float> outSingle(n);
    Buffer<double> outRe(n), outIm(n);
    target(
        "single/floor", "real", n, [&] { fpmex::floorKernel(outSingle.data(), nullptr, singles.data(), nullptr, n); },
        [&] { plainCopy(outSingle.data(), singles.data(), n); });
    target(
        "double/round", "real", n, [&] { fpmex::roundKernel(outRe.data(), nullptr, doubles.data(), nullptr, n); },
        [&] { plainCopy(outRe.data(), doubles.data(), n); });
    target(
        "double/sqrt", "real", n, [&] { fpmex::sqrtKernel(outRe.data(), outIm.data(), doubles.data(), nullptr, n); },
        [&] { plainCopyAndZero(outRe.data(), outIm.data(), doubles.data(), n); });
}

// The comparisons of plus, lt, prod and ones at their own sizes, and the
// bandwidth comparisons of floor, round and sqrt (those of the elementwise
// functions against NumPy come from the main columns).
void targets()
{
    bandwidthTargets(10000000);
    for (std::size_t n : {std::size_t{10000}, std::size_t{10000000}}) {
        Operands o(n);
        target("single/plus", "real", n, [&] { plusKernel(o, false, n); }, [&] { plusPlain(o, false, n); });
        target("single/plus", "complex", n, [&] { plusKernel(o, true, n); }, [&] { plusPlain(o, true, n); });
        const float s = 3.5f;
        target(
            "single/plus", "scalar", n,
            [&] { fpmex::operators::addScalar(o.out.data(), nullptr, &s, nullptr, o.b.data(), nullptr, n); },
            [&] { fpmex::bench::plainAddScalar(o.out.data(), o.b.data(), s, n); });
        target(
            "single/lt", "real", n, [&] { fpmex::operators::lessArrays(o.mask.data(), o.a.data(), o.b.data(), n); },
            [&] { fpmex::bench::plainLess(o.mask.data(), o.a.data(), o.b.data(), n); });
        // memset of a non-zero byte, as ones stores non-zero data; a zero fill
        // of a buffer of zeros runs faster on some machines, so it is shown
        // apart.
        for (int byte : {0x3F, 0}) {
            target(
                "single/ones", byte ? "real" : "zero_fill", n, [&] { fpmex::fillOnes(o.out.data(), n); },
                [&] {
                    std::memset(o.out.data(), byte, n * sizeof(float));
                    sink = o.out[n / 2];
                });
        }
    }
    // A 1000-by-1000 array: along dimension 1 a thousand runs of a thousand
    // factors, along dimension 2 a thousand columns 1000 elements apart.
    constexpr std::size_t side = 1000, n = side * side;
    Operands o(n);
    float re, im;
    target(
        "single/prod", "real_dim1", n, [&] { fpmex::prodRealRuns(o.out.data(), o.p.data(), side, side); },
        [&] { sink = fpmex::bench::plainRealProduct<5>(o.p.data(), n); });
    target(
        "single/prod", "real_dim2", n,
        [&] { fpmex::prodRealStrided(o.out.data(), o.p.data(), side, side, side); },
        [&] { sink = fpmex::bench::plainRealProduct<7>(o.p.data(), n); });
    target(
        "single/prod", "complex_dim1", n,
        [&] { fpmex::prodComplexRuns(o.out.data(), o.outIm.data(), o.p.data(), o.pi.data(), side, side); },
        [&] { fpmex::bench::plainComplexProduct(o.p.data(), o.pi.data(), n, &re, &im); });
    target(
        "single/prod", "complex_dim2", n,
        [&] {
            fpmex::prodComplexStrided(o.out.data(), o.outIm.data(), o.p.data(), o.pi.data(), side, side, side);
        },
        [&] { fpmex::bench::plainComplexProduct(o.p.data(), o.pi.data(), n, &re, &im); });
}

// The split kernels' comparisons: single log2 complex at 10^7, real at 10^5,
// prod of 1000-factor runs at 10^7 (single real), and each again at 10^3.
struct ThreadCase {
    const char* function;
    const char* variant;
    std::size_t n;
};
constexpr ThreadCase threadCases[] = {
    {"single/log2", "complex", 10000000}, {"single/log2", "real", 100000}, {"single/prod", "real", 10000000},
    {"single/log2", "complex", 1000},     {"single/log2", "real", 1000},   {"single/prod", "real", 1000},
};

// prod's runs: 1000 factors, or 10 at 10^3 elements.
std::size_t runLengthOf(std::size_t n)
{
    return n >= 1000000 ? 1000 : 10;
}

// Kernels at 2 threads beside 1, in alternating rounds: columns threads_two
// and threads_one (ns per element) and threads_ratio (the median over the
// rounds of 2 threads' time over 1's).
void threadKernels()
{
    for (const ThreadCase& c : threadCases) {
        const bool complex = std::string(c.variant) == "complex";
        Operands o(c.n);
        Work kernel;
        if (std::string(c.function) == "single/prod") {
            const std::size_t length = runLengthOf(c.n);
            kernel = [&, length] { fpmex::prodRealRuns(o.out.data(), o.p.data(), length, c.n / length); };
        } else {
            const auto in = values<float>(c.n, 0.5, 1000, 15);
            kernel = [&, in] {
                logKernel<float, LogBase::two>(o.out.data(), o.outIm.data(), in.data(), complex ? o.ai.data() : nullptr,
                                               c.n);
            };
        }
        const Rounds r = measureRounds(c.n, {[&] { fpmex::setThreadCount(2); kernel(); },
                                             [&] { fpmex::setThreadCount(1); kernel(); }}, 15);
        emit("threads_two", c.function, c.variant, c.n, r.medians[0]);
        emit("threads_one", c.function, c.variant, c.n, r.medians[1]);
        emit("threads_ratio", c.function, c.variant, c.n, r.ratios[1]);
    }
}

// The same as whole calls through the embedded host. Each library holds a
// pool of its own, which reads FPMEX_NUM_THREADS once: scripts/bench runs
// this mode once per thread count, and the column is call_tN.
void threadCalls()
{
    const std::string column = "call_t" + std::to_string(fpmex::threadCount());
    for (const ThreadCase& c : threadCases) {
        const bool complex = std::string(c.variant) == "complex";
        std::vector<mxArray*> inputs;
        if (std::string(c.function) == "single/prod") {
            const std::size_t length = runLengthOf(c.n);
            mxArray* x = mxCreateNumericMatrix(length, c.n / length, mxSINGLE_CLASS, mxREAL);
            const auto p = values<float>(c.n, 0.999, 1.001, 10);
            std::memcpy(mxGetData(x), p.data(), c.n * sizeof(float));
            inputs.push_back(x);
        } else {
            const auto re = values<float>(c.n, 0.5, 1000, 15), im = values<float>(c.n, -1000, 1000, 8);
            inputs.push_back(makeInput<float>(re, complex ? &im : nullptr));
        }
        auto fn = fpmex::host::loadDeliverable(hostDir + "/" + c.function + ".so");
        std::vector<const mxArray*> in(inputs.begin(), inputs.end());
        emit(column.c_str(), c.function, c.variant, c.n, measure(c.n, [&] {
                 if (fpmex::host::call(fn, 1, in).failed)
                     std::exit(1);
             }));
        for (auto* a : inputs)
            mxDestroyArray(a);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: report_bench HOST_DIR main|growth|targets|threads|thread-calls [SIZES...]\n");
        return 2;
    }
    hostDir = argv[1];
    const std::string mode = argv[2];
    // Half a second of x87 work first, so that the first figures do not
    // catch the processor still coming out of idle.
    {
        auto warm = values<double>(100000, 0.5, 1000, 12);
        Buffer<double> out(warm.size()), outIm(warm.size());
        for (int k = 0; k < 300; ++k)
            logKernel<double, LogBase::two>(out.data(), outIm.data(), warm.data(), nullptr, warm.size());
    }
    if (mode == "targets") {
        targets();
        return 0;
    }
    if (mode == "threads" || mode == "thread-calls") {
        mode == "threads" ? threadKernels() : threadCalls();
        return 0;
    }
    if (mode != "main" && mode != "growth") {
        std::fprintf(stderr, "report_bench: unknown mode %s\n", mode.c_str());
        return 2;
    }
    emit("threads", "all", "all", 0, fpmex::threadCount());
    for (int i = 3; i < argc; ++i)
        everyFunction(std::strtoull(argv[i], nullptr, 10), mode == "growth");
    hostCall("single/pi", 1, {}, "real");
    return 0;
}
