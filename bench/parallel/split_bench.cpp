// Where a split across the worker pool starts to pay: one kernel of each
// cost class, split at every size (the threshold set aside), at 2 threads
// beside 1 on warm buffers. Twice: in alternating rounds, where the
// workers are still awake from the last call ("warm"), and one call at a
// time after a pause long enough for them to sleep ("cold", the median of
// 101 calls, as when an interpreter does other work between calls). Prints
// "class,kernel,elements,ns per element at 1 thread,at 2 threads,ratio"
// for both. The thresholds of common/split_thresholds.h are taken where
// the cold ratio stays below 1.
//   split_bench
#include "bench/report/measure.h"
#include "common/split.h"
#include "common/worker_pool.h"
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "logarithms/log_kernel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

using namespace fpmex;
using report::values;
using Clock = std::chrono::steady_clock;

// Median ns per element of single calls, each after a pause of a
// millisecond (the workers spin for about a tenth of that).
double coldCall(std::size_t n, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int trial = 0; trial < 101; ++trial) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() / n);
    }
    std::nth_element(times.begin(), times.begin() + 50, times.end());
    return times[50];
}

template <class T, class Kernel>
void row(const char* kind, const char* name, Kernel kernel, bool complex, double low, double high,
         std::initializer_list<std::size_t> sizes)
{
    for (std::size_t n : sizes) {
        const report::Buffer<T> re = values<T>(n, low, high, 1), im = values<T>(n, low, high, 2);
        report::Buffer<T> outRe(n), outIm(n);
        const T* inIm = complex ? im.data() : nullptr;
        T* out = complex ? outIm.data() : nullptr;
        const auto run = [&](unsigned threads) {
            setThreadCount(threads);
            if constexpr (std::is_same_v<decltype(kernel(outRe.data(), out, re.data(), inIm, n)), int>)
                splitFlag<T>(kernel, outRe.data(), outIm.data(), re.data(), inIm, n, 1);
            else
                splitPlain<T>(kernel, outRe.data(), out, re.data(), inIm, n, 1);
        };
        const report::Rounds r = report::measureRounds(n, {[&] { run(1); }, [&] { run(2); }}, 15);
        std::printf("warm,%s,%s,%zu,%.3f,%.3f,%.3f\n", kind, name, n, r.medians[0], r.medians[1], 1 / r.ratios[1]);
        const double one = coldCall(n, [&] { run(1); });
        const double two = coldCall(n, [&] { run(2); });
        std::printf("cold,%s,%s,%zu,%.3f,%.3f,%.3f\n", kind, name, n, one, two, two / one);
        std::fflush(stdout);
    }
}

} // namespace

int main()
{
    std::printf("workers,class,kernel,elements,one_thread_ns,two_threads_ns,ratio\n");
    row<float>("x87", "log2 single complex", activeVariant(logKernelVariants<float, LogBase::two>()), true, 0.5, 1000,
               {256, 512, 1024, 2048, 4096, 8192});
    row<double>("x87", "exp double real", activeVariant(expKernelVariants<double>()), false, -700, 700,
                {256, 512, 1024, 2048, 4096, 8192});
    row<float>("vector math", "log2 single real", activeVariant(logKernelVariants<float, LogBase::two>()), false, 0.5,
               1000, {2048, 4096, 8192, 16384, 32768, 65536, 131072});
    row<float>("vector math", "exp single real", activeVariant(expKernelVariants<float>()), false, -80, 80,
               {2048, 4096, 8192, 16384, 32768, 65536, 131072});
    row<float>("streaming", "floor single real", activeVariant(floorKernelVariants()), false, -1000, 1000,
               {16384, 32768, 65536, 131072, 262144, 1048576, 10000000});
    row<double>("streaming", "sqrt double real", activeVariant(sqrtKernelVariants()), false, 0.5, 1000,
                {16384, 32768, 65536, 131072, 262144, 1048576, 10000000});
    return 0;
}
