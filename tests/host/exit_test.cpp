// Unloading a deliverable: the exit function its calls registered through
// mexAtExit runs once, when the last load is given back, in a scope of its
// own; the library is closed, and loading it again starts it afresh.
#include "mex_test.h"

#include <cmath>
#include <cstring>

namespace fpmex::test {
namespace {

// A load of the exit probe of the test's own: deliverable() keeps its
// libraries loaded, which would hide whether unloading runs anything.
host::MexFunction loadProbe()
{
    return host::loadDeliverable(deliverablePath("test/probe_exit"));
}

// [calls, what mexAtExit returned] after a call that registers `which`.
std::vector<double> callProbe(host::MexFunction probe, int which)
{
    const Array mode = makeDouble({double(which)});
    const mxArray* inputs[] = {mode.get()};
    const CallResult r = host::call(probe, 1, inputs, "probe_exit");
    EXPECT_FALSE(r.failed) << r.error;
    EXPECT_TRUE(r.faults.empty()) << r.faults.front();
    return r.failed ? std::vector<double>(2, std::nan("")) : realPart<double>(r.outputs[0].get());
}

TEST(HostExit, ExitFunctionRunsOnceWhenTheLastLoadIsGivenBack)
{
    const std::size_t blocks = host::liveBlocks();
    const host::MexFunction probe = loadProbe();
    EXPECT_EQ(loadProbe(), probe) << "one library, loaded twice";
    EXPECT_EQ(callProbe(probe, 1), (std::vector<double>{1, 0}));

    const CallResult early = host::unloadDeliverable(probe);
    EXPECT_EQ(early.printed, "") << "ran while a load was still held";
    EXPECT_EQ(callProbe(probe, 0)[0], 2) << "the library went away with a load held";

    const CallResult last = host::unloadDeliverable(probe);
    EXPECT_EQ(last.printed, "exit function after 2 calls\n");
    EXPECT_FALSE(last.failed) << last.error;
    EXPECT_TRUE(last.faults.empty()) << last.faults.front();
    EXPECT_EQ(last.stats.arrays, 1u);
    EXPECT_EQ(host::liveBlocks(), blocks) << "what the exit function made outlived it";
    EXPECT_THROW(host::unloadDeliverable(probe), std::invalid_argument) << "unloaded twice";
}

TEST(HostExit, ALaterRegistrationReplacesTheEarlierOne)
{
    const struct {
        std::vector<int> registrations; // 1 and 2 print, 4 is a null function, 0 registers nothing
        const char* printed;
    } cases[] = {
        {{1, 2}, "second exit function of probe_exit\n"},
        {{2, 1}, "exit function after 2 calls\n"},
        {{1, 1, 1}, "exit function after 3 calls\n"},
        {{1, 4}, ""},
        {{4, 2}, "second exit function of probe_exit\n"},
        {{2, 0}, "second exit function of probe_exit\n"},
    };
    for (const auto& c : cases) {
        const host::MexFunction probe = loadProbe();
        for (int which : c.registrations)
            callProbe(probe, which);
        EXPECT_EQ(host::unloadDeliverable(probe).printed, c.printed) << c.registrations.front() << " then "
                                                                     << c.registrations.back();
    }
}

TEST(HostExit, ALibraryLoadedAgainStartsFresh)
{
    for (int round = 0; round < 3; ++round) {
        const host::MexFunction probe = loadProbe();
        EXPECT_EQ(callProbe(probe, 0)[0], 1) << "round " << round << ": statics of an earlier load";
        EXPECT_EQ(callProbe(probe, 1)[0], 2) << round;
        EXPECT_EQ(host::unloadDeliverable(probe).printed, "exit function after 2 calls\n") << round;
    }
    // The registration went with the library.
    const host::MexFunction probe = loadProbe();
    callProbe(probe, 0);
    EXPECT_EQ(host::unloadDeliverable(probe).printed, "");
}

TEST(HostExit, AnErrorInTheExitFunctionIsReportedAndTheLibraryStillCloses)
{
    host::MexFunction probe = loadProbe();
    callProbe(probe, 3);
    const CallResult r = host::unloadDeliverable(probe);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.error, "The exit function failed.");
    EXPECT_TRUE(r.faults.empty()) << r.faults.front();
    EXPECT_THROW(host::unloadDeliverable(probe), std::invalid_argument) << "not closed";

    probe = loadProbe();
    EXPECT_EQ(callProbe(probe, 0)[0], 1);
    EXPECT_EQ(host::unloadDeliverable(probe).printed, "");
}

void exitNothing() {}

void registerWithoutALibrary(int, mxArray* plhs[], int, const mxArray*[])
{
    plhs[0] = mxCreateDoubleScalar(mexAtExit(exitNothing));
}

TEST(HostExit, ARegistrationThatNoLibraryMadeIsRefused)
{
    EXPECT_EQ(mexAtExit(exitNothing), 1) << "outside a call";
    const CallResult r = host::call(registerWithoutALibrary, 1, {}, "local");
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_EQ(mxGetScalar(r.outputs[0].get()), 1);
    EXPECT_EQ(r.faults, std::vector<std::string>{"mexAtExit during a call of a function that no loaded library holds"});
    EXPECT_THROW(host::unloadDeliverable(registerWithoutALibrary), std::invalid_argument);
}

// Whole deliverables on inputs large enough for parallel kernels (an
// element-wise function, an operator and a reduction), loaded, called and
// unloaded over and over: no cycle may change a bit of the result or leave
// a fault behind. Meant for the sanitizer builds too: floor stands for the
// element-wise functions there, where unoptimised log2 or exp kernels would
// take seconds.
TEST(HostUnload, DeliverablesGiveTheSameResultsOverLoadCallUnloadCycles)
{
    constexpr mwSize side = 1024; // 2^20 elements
    std::vector<float> x(side * side), y(side * side);
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = 1.0f + float(int(i * 7919 % 2001) - 1000) * 1e-6f; // products of a column stay finite
        y[i] = float(i % 4093) * 0.37f - 500.0f;
    }
    const Array a = makeSingle(x, {}, {side, side});
    const Array b = makeSingle(y, {}, {side, side});
    const struct {
        const char* name;
        std::vector<const mxArray*> inputs;
    } cases[] = {
        {"single/floor", {b.get()}},
        {"single/plus", {a.get(), b.get()}},
        {"single/prod", {a.get()}},
    };
    for (const auto& c : cases) {
        std::vector<float> first;
        for (int cycle = 0; cycle < 10; ++cycle) {
            SCOPED_TRACE(std::string(c.name) + " cycle " + std::to_string(cycle));
            const host::MexFunction fn = host::loadDeliverable(deliverablePath(c.name));
            const CallResult r = host::call(fn, 1, c.inputs, c.name);
            ASSERT_FALSE(r.failed) << r.error;
            EXPECT_TRUE(r.faults.empty()) << r.faults.front();
            const std::vector<float> got = realPart<float>(r.outputs[0].get());
            if (cycle == 0)
                first = got;
            ASSERT_EQ(got.size(), first.size());
            EXPECT_EQ(std::memcmp(got.data(), first.data(), got.size() * sizeof(float)), 0);
            const CallResult exit = host::unloadDeliverable(fn);
            EXPECT_FALSE(exit.failed) << exit.error;
            EXPECT_TRUE(exit.faults.empty()) << exit.faults.front();
        }
    }
}

} // namespace
} // namespace fpmex::test
