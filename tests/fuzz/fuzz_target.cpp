// libFuzzer entry: every input is one call of one deliverable through the
// embedded host; any problem the checks find aborts, so libFuzzer keeps the
// input as a crash.
#include "fuzz_call.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fpmex::host::setMemoryLimit(fpmex::fuzz::fuzzMemoryLimit);
    fpmex::fuzz::deliverables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t blocksBefore = fpmex::host::liveBlocks();
    std::string problems;
    {
        const fpmex::fuzz::FuzzCall call = fpmex::fuzz::decodeCall(data, size);
        problems = fpmex::fuzz::runAndCheck(call);
    }
    // Nothing may outlive the input either: not a refused array, not a
    // block of the host.
    if (fpmex::host::liveBlocks() != blocksBefore)
        problems += "host blocks outlived the input's arrays\n";
    if (!problems.empty()) {
        std::fprintf(stderr, "fpmex fuzz finding: %s", problems.c_str());
        std::abort();
    }
    return 0;
}
