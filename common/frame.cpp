#include "frame.h"

#include "worker_pool.h"

#include <cstdint>
#include <string>

#ifndef FPMEX_VERSION
#error "FPMEX_VERSION must be defined by the build"
#endif

namespace fpmex {
namespace {

const char* setName(FunctionSet set)
{
    return set == FunctionSet::single ? "single" : "double";
}

// A line feed, the description, two line feeds, a tab, the attribution line
// and two line feeds. mexPrintf takes the banner as its format, so a percent
// sign in it would be doubled; none of the descriptions holds one.
void printBanner(const Entry& entry)
{
    std::string banner = "\n";
    banner += entry.description;
    banner += "\n\n\tfpmex ";
    banner += FPMEX_VERSION;
    banner += ", ";
    banner += setName(entry.set);
    banner += " function set\n\n";
    mexPrintf(banner.c_str());
}

// The worker pool's threads must end before the host unloads the library;
// the host calls the registered function when it clears the library. At
// every call: a host may keep a library's image, and so its statics,
// after it has run the exit function (the native Octave host pins its
// files), and a registration made only once would then be lost. Registering
// again replaces the registration and costs little. The pool itself starts
// only at a split, and again after the exit function has stopped it.
void registerExit()
{
    mexAtExit(stopWorkers);
}

} // namespace

void checkOutputCount(int nlhs, int maxOutputs)
{
    if (nlhs > maxOutputs)
        fail("Too many output arguments.");
}

bool enterFrame(const Entry& entry, int nlhs, int nrhs)
{
    registerExit();
    checkOutputCount(nlhs, entry.maxOutputs);
    if (nrhs == 0) {
        printBanner(entry);
        return false;
    }
    const bool accepted = nrhs >= entry.minInputs && (entry.maxInputs == anyInputs || nrhs <= entry.maxInputs);
    if (!accepted)
        fail("Wrong number of input arguments.");
    return true;
}

void* allocateElements(std::size_t count, std::size_t elementBytes)
{
    const std::size_t bytes = count > SIZE_MAX / elementBytes ? SIZE_MAX : count * elementBytes;
    return mxMalloc(bytes);
}

} // namespace fpmex
