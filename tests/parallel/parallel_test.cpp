// The split kernels give the bits of the unsplit run at every thread count.
// Each kernel is called by its contract's name, with sizes on both sides of
// its split threshold and across chunk boundaries, at 2, 3 and 7 threads,
// against the same call at 1 thread. Output buffers start out as garbage,
// so an element no chunk wrote shows.
#include "arrays/fill_ones.h"
#include "arrays/prod_kernels.h"
#include "common/split_thresholds.h"
#include "common/worker_pool.h"
#include "elementary/exp_kernel.h"
#include "elementary/rounding_kernel.h"
#include "elementary/sqrt_kernel.h"
#include "logarithms/dissect_kernel.h"
#include "logarithms/log_kernel.h"
#include "operators/add_kernel.h"
#include "operators/convert_kernels.h"
#include "operators/less_kernel.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sched.h>
#endif

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fpmex {
namespace {

using Bytes = std::vector<unsigned char>;

// Everything a run produced, flag included, as bytes.
struct Output {
    Bytes bytes;
    template <class T>
    void add(const std::vector<T>& values)
    {
        const auto* p = reinterpret_cast<const unsigned char*>(values.data());
        bytes.insert(bytes.end(), p, p + values.size() * sizeof(T));
    }
    void add(int flag) { bytes.push_back(static_cast<unsigned char>(flag)); }
};

// count elements of random bit patterns (NaNs, infinities, subnormals and
// negatives among them) or, with positive set, of positive finite values
// but one negative near the end, so that a single chunk raises the flag.
template <class T>
std::vector<T> input(std::size_t count, unsigned seed, bool positive = false)
{
    using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
    std::mt19937_64 random(seed * 7919 + count);
    std::vector<T> values(count);
    for (T& v : values) {
        v = std::bit_cast<T>(static_cast<Bits>(random()));
        if (positive)
            v = std::isfinite(v) ? std::fabs(v) : T(1.5);
    }
    if (positive)
        values[count - 1 - count / 50] = T(-2);
    return values;
}

// Buffers of count elements filled with a pattern no kernel writes.
template <class T>
std::vector<T> garbage(std::size_t count)
{
    std::vector<T> values(count);
    std::memset(values.data(), 0xA5, count * sizeof(T));
    return values;
}

template <class T>
using Flagged = int (*)(T*, T*, const T*, const T*, std::size_t);
template <class T>
using Plain = void (*)(T*, T*, const T*, const T*, std::size_t);

// A flag kernel: the imaginary parts count only when the flag is 1.
template <class T>
Output runFlagged(Flagged<T> kernel, std::size_t count, bool complex, bool positive)
{
    const std::vector<T> re = input<T>(count, 1, positive), im = input<T>(count, 2);
    std::vector<T> outRe = garbage<T>(count), outIm = garbage<T>(count);
    const int flag = kernel(outRe.data(), outIm.data(), re.data(), complex ? im.data() : nullptr, count);
    Output out;
    out.add(flag);
    out.add(outRe);
    if (flag != 0)
        out.add(outIm);
    return out;
}

template <class T>
Output runPlain(Plain<T> kernel, std::size_t count, bool complex)
{
    const std::vector<T> re = input<T>(count, 3), im = input<T>(count, 4);
    std::vector<T> outRe = garbage<T>(count), outIm = garbage<T>(count);
    kernel(outRe.data(), complex ? outIm.data() : nullptr, re.data(), complex ? im.data() : nullptr, count);
    Output out;
    out.add(outRe);
    if (complex)
        out.add(outIm);
    return out;
}

template <class T>
Output runDissect(std::size_t count)
{
    const std::vector<T> in = input<T>(count, 5);
    std::vector<T> f = garbage<T>(count), e = garbage<T>(count);
    dissectKernel<T>(f.data(), e.data(), in.data(), count);
    Output out;
    out.add(f);
    out.add(e);
    return out;
}

// plus in each operand form: arrays (both, one or no operand complex) and a
// scalar on either side.
Output runAdd(std::size_t count, int form)
{
    const std::vector<float> aRe = input<float>(count, 6), aIm = input<float>(count, 7);
    const std::vector<float> bRe = input<float>(count, 8), bIm = input<float>(count, 9);
    std::vector<float> outRe = garbage<float>(count), outIm = garbage<float>(count);
    using namespace operators;
    switch (form) {
    case 0:
        addArrays(outRe.data(), nullptr, aRe.data(), nullptr, bRe.data(), nullptr, count);
        break;
    case 1:
        addArrays(outRe.data(), outIm.data(), aRe.data(), aIm.data(), bRe.data(), bIm.data(), count);
        break;
    case 2:
        addArrays(outRe.data(), outIm.data(), aRe.data(), nullptr, bRe.data(), bIm.data(), count);
        break;
    case 3:
        addScalar(outRe.data(), outIm.data(), bRe.data(), bIm.data(), aRe.data(), aIm.data(), count);
        break;
    default:
        addScalar(outRe.data(), outIm.data(), bRe.data(), bIm.data(), aRe.data(), nullptr, count);
        break;
    }
    Output out;
    out.add(outRe);
    if (form != 0)
        out.add(outIm);
    return out;
}

Output runLess(std::size_t count, int form)
{
    const std::vector<float> a = input<float>(count, 10), b = input<float>(count, 11);
    const float nan = std::bit_cast<float>(0x7FC00001u);
    std::vector<unsigned char> out(count, 0xA5);
    using namespace operators;
    if (form == 0)
        lessArrays(out.data(), a.data(), b.data(), count);
    else if (form == 1)
        lessScalarLeft(out.data(), &b[0], a.data(), count);
    else if (form == 2)
        lessScalarRight(out.data(), a.data(), &b[0], count);
    else
        lessScalarRight(out.data(), a.data(), &nan, count);
    Output result;
    result.add(out);
    return result;
}

Output runConversions(std::size_t count)
{
    Output out;
    std::vector<float> converted = garbage<float>(count);
    operators::doubleToSingle(converted.data(), input<double>(count, 12).data(), count);
    out.add(converted);
    std::vector<std::uint32_t> words(count);
    const std::vector<float> bits = input<float>(count, 13);
    std::memcpy(words.data(), bits.data(), count * sizeof(float));
    operators::uint32ToSingle(converted.data(), words.data(), count);
    out.add(converted);
    operators::int8ToSingle(converted.data(), reinterpret_cast<const std::int8_t*>(words.data()), count);
    out.add(converted);
    return out;
}

Output runOnes(std::size_t count)
{
    // One element in, so that the buffer is 8- but not 16-byte aligned.
    std::vector<float> buffer = garbage<float>(count + 2);
    fillOnes(buffer.data() + 1, count);
    Output out;
    out.add(buffer);
    return out;
}

// count outputs of runLength factors each: runs, or strided with the given
// stride (count a multiple of it). Factors near 1 keep long products finite.
// Complex runs of three repeat factors whose real part cancels to 2^-40 of
// its terms: only the odd last run of all, multiplied downwards, gives
// another result, so a chunk that ends on an odd run shows.
Output runProd(std::size_t count, std::size_t runLength, std::size_t stride, bool complex)
{
    const std::size_t factors = count * runLength;
    std::vector<float> re(factors), im(factors);
    std::mt19937 random(static_cast<unsigned>(factors + stride));
    std::uniform_real_distribution<float> near(0.9f, 1.1f);
    constexpr float cancellingRe[3] = {0x1.83e84ap+0f, 0x1.9cbe3p-1f, 0x1.555684p+22f};
    constexpr float cancellingIm[3] = {0x1.1e03acp-1f, 0x1.78289p+0f, 0x1.98c22p+19f};
    const bool cancelling = complex && stride == 1 && runLength == 3;
    for (std::size_t k = 0; k < factors; ++k) {
        re[k] = cancelling ? cancellingRe[k % 3] : near(random);
        im[k] = cancelling ? cancellingIm[k % 3] : near(random) - 1.0f;
    }
    std::vector<float> outRe = garbage<float>(count), outIm = garbage<float>(count);
    if (complex)
        prodComplexStrided(outRe.data(), outIm.data(), re.data(), im.data(), runLength, count, stride);
    else
        prodRealStrided(outRe.data(), re.data(), runLength, count, stride);
    Output out;
    out.add(outRe);
    if (complex)
        out.add(outIm);
    return out;
}

struct Case {
    std::string name;
    std::size_t threshold; // in the sizes' unit
    std::function<Output(std::size_t)> run;
};

std::vector<Case> cases()
{
    using split::streamingElements, split::vectorMathElements, split::x87Elements;
    std::vector<Case> all = {
        {"log2 single real", vectorMathElements,
         [](std::size_t n) { return runFlagged<float>(logKernel<float, LogBase::two>, n, false, false); }},
        {"log single real, one negative", vectorMathElements,
         [](std::size_t n) { return runFlagged<float>(logKernel<float, LogBase::natural>, n, false, true); }},
        {"log10 single complex", x87Elements,
         [](std::size_t n) { return runFlagged<float>(logKernel<float, LogBase::ten>, n, true, false); }},
        {"log2 double real, one negative", x87Elements,
         [](std::size_t n) { return runFlagged<double>(logKernel<double, LogBase::two>, n, false, true); }},
        {"exp single real", vectorMathElements, [](std::size_t n) { return runPlain<float>(expKernel<float>, n, false); }},
        {"exp double complex", x87Elements, [](std::size_t n) { return runPlain<double>(expKernel<double>, n, true); }},
        {"floor complex", streamingElements, [](std::size_t n) { return runPlain<float>(floorKernel, n, true); }},
        {"round real", streamingElements, [](std::size_t n) { return runPlain<double>(roundKernel, n, false); }},
        {"sqrt real, one negative", streamingElements,
         [](std::size_t n) { return runFlagged<double>(sqrtKernel, n, false, true); }},
        {"sqrt complex", x87Elements, [](std::size_t n) { return runFlagged<double>(sqrtKernel, n, true, false); }},
        {"[F, E] single", streamingElements, runDissect<float>},
        {"[F, E] double", streamingElements, runDissect<double>},
        {"conversions", streamingElements, runConversions},
        {"ones", streamingElements, runOnes},
    };
    for (int form = 0; form < 5; ++form)
        all.push_back({"plus form " + std::to_string(form), streamingElements,
                       [form](std::size_t n) { return runAdd(n, form); }});
    for (int form = 0; form < 4; ++form)
        all.push_back({"lt form " + std::to_string(form), streamingElements,
                       [form](std::size_t n) { return runLess(n, form); }});
    // prod: sizes count factors; runs, and strided forms split by outer
    // blocks (stride 3) and by columns (stride 40, 4 blocks).
    all.push_back({"prod real runs", vectorMathElements, [](std::size_t n) { return runProd(n / 7 + 1, 7, 1, false); }});
    all.push_back({"prod complex runs", vectorMathElements, [](std::size_t n) { return runProd(n / 3 + 1, 3, 1, true); }});
    all.push_back({"prod real by blocks", vectorMathElements, [](std::size_t n) { return runProd(3 * (n / 15 + 1), 5, 3, false); }});
    all.push_back({"prod complex by columns", vectorMathElements,
                   [](std::size_t n) { return runProd(160 * (n / 480 + 1), 3, 40, true); }});
    return all;
}

class SplitKernels : public ::testing::Test {
protected:
    void TearDown() override { setThreadCount(0); }
};

TEST_F(SplitKernels, GiveTheUnsplitBitsAtEveryThreadCount)
{
    for (const Case& c : cases()) {
        const std::size_t t = c.threshold;
        for (std::size_t count : {t - 1, t, t + 64 * 7 + 3, 2 * t + 65}) {
            setThreadCount(1);
            const Output expected = c.run(count);
            for (unsigned threads : {2u, 3u, 7u}) {
                setThreadCount(threads);
                EXPECT_TRUE(c.run(count).bytes == expected.bytes)
                    << c.name << ", " << count << " elements, " << threads << " threads";
            }
        }
    }
}

// The pool itself: chunks cover the range once, run on several threads but
// no more than the count asks (after a larger count too), and a split inside
// a chunk runs on its own thread.
TEST_F(SplitKernels, ChunksCoverTheRangeOnceOnSeveralThreads)
{
    for (unsigned count : {7u, 2u}) {
        setThreadCount(count);
        constexpr std::size_t elements = 100000;
        std::vector<std::atomic<int>> hits(elements);
        std::mutex mutex;
        std::set<std::thread::id> threads;
        std::atomic<std::size_t> nested{0};
        const std::size_t chunks = splitWork(elements, 1, [&](std::size_t, std::size_t begin, std::size_t end) {
            for (std::size_t k = begin; k < end; ++k)
                hits[k].fetch_add(1, std::memory_order_relaxed);
            EXPECT_EQ(begin % chunkGranule, 0u);
            nested += splitWork(1000, 1, [](std::size_t, std::size_t, std::size_t) {});
            // Each chunk waits (a second at most) until a second thread has
            // come, so that a worker slow to wake still takes part.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            std::unique_lock<std::mutex> hold(mutex);
            threads.insert(std::this_thread::get_id());
            while (threads.size() < 2 && std::chrono::steady_clock::now() < deadline) {
                hold.unlock();
                std::this_thread::sleep_for(std::chrono::microseconds(100));
                hold.lock();
            }
        });
        EXPECT_EQ(chunks, std::size_t{count} * 8);
        EXPECT_EQ(nested.load(), chunks) << "a split inside a chunk runs on its own thread";
        EXPECT_GT(threads.size(), 1u);
        EXPECT_LE(threads.size(), count);
        EXPECT_TRUE(std::all_of(hits.begin(), hits.end(), [](const std::atomic<int>& h) { return h.load() == 1; }));
    }
}

TEST_F(SplitKernels, WorkersStopAndStartAgain)
{
    setThreadCount(2);
    for (int round = 0; round < 3; ++round) {
        const Output before = runFlagged<float>(logKernel<float, LogBase::two>, 50000, false, true);
        stopWorkers();
        EXPECT_TRUE(runFlagged<float>(logKernel<float, LogBase::two>, 50000, false, true).bytes == before.bytes);
    }
}

// FPMEX_NUM_THREADS as each run of this program sets it (CMakeLists.txt),
// with the count it must give in FPMEX_EXPECTED_THREADS ("cores": the
// processors the process may use, at most 64).
TEST(ThreadCount, FollowsTheEnvironment)
{
    const char* expected = std::getenv("FPMEX_EXPECTED_THREADS");
    if (expected == nullptr)
        GTEST_SKIP() << "run by CTest with FPMEX_EXPECTED_THREADS";
#ifdef _WIN32
    const unsigned available = std::thread::hardware_concurrency();
#else
    cpu_set_t set;
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    const auto available = static_cast<unsigned>(CPU_COUNT(&set));
#endif
    const unsigned cores = std::min(available, 64u);
    const unsigned want = std::string(expected) == "cores" ? cores : static_cast<unsigned>(std::atoi(expected));
    const char* named = std::getenv("FPMEX_NUM_THREADS");
    EXPECT_EQ(threadCount(), want) << "FPMEX_NUM_THREADS=" << (named ? named : "(unset)");
}

} // namespace
} // namespace fpmex
