// The embedded host serves the thread that made the call: a call of the
// host from any other thread while it runs changes nothing, returns a
// harmless value and is reported as a fault of the call.
#include "mex_test.h"

namespace fpmex::test {
namespace {

// The probe's stray thread calls host function `which`.
CallResult strayCall(int which)
{
    const Array mode = makeDouble({double(which)});
    const mxArray* inputs[] = {mode.get()};
    return host::call(deliverable("test/probe_thread"), 1, inputs, "probe_thread");
}

TEST(HostThreads, AStrayCallChangesNothingAndIsReported)
{
    const struct {
        int which;
        const char* function;
        double answer; // what the stray call returned: 0 for null
    } cases[] = {
        {0, "mxCreateDoubleMatrix", 0}, {1, "mxMalloc", 0}, {2, "mexPrintf", 0},
        {3, "mxGetNumberOfElements", 0}, {4, "mexAtExit", 1}, {5, "mxGetData", 0},
    };
    for (const auto& c : cases) {
        const std::size_t blocks = host::liveBlocks();
        const CallResult r = strayCall(c.which);
        ASSERT_FALSE(r.failed) << c.function << ": " << r.error;
        EXPECT_EQ(mxGetScalar(r.outputs[0].get()), c.answer) << c.function;
        EXPECT_EQ(r.faults, std::vector<std::string>{std::string(c.function) +
                                                     " called from a thread other than the caller's; the host ignored it"});
        // Only the caller's own output, nothing printed, nothing left.
        EXPECT_EQ(r.stats.arrays, 1u) << c.function;
        EXPECT_EQ(r.stats.blocks, 1u) << c.function;
        EXPECT_EQ(r.printed, "") << c.function;
        EXPECT_EQ(host::liveBlocks(), blocks + 1) << c.function;
    }
    // A call whose thread calls nothing is sound: the record went with its call.
    EXPECT_TRUE(strayCall(-1).faults.empty());
}

#if GTEST_HAS_DEATH_TEST
// An error cannot end the call from another thread: the process stops
// with the message rather than unwinding a thread the call does not own.
TEST(HostThreadsDeathTest, AStrayErrorStopsTheProcessWithItsMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(strayCall(6), "mexErrMsgTxt called from a thread other than the caller's: Stray error\\.");
}
#endif

} // namespace
} // namespace fpmex::test
