#include "mex_test.h"

#include "fpmex_deliverables.h"
#include "parse.h"

#include <map>

namespace fpmex::test {

host::MexFunction deliverable(const std::string& setAndName)
{
    static std::map<std::string, host::MexFunction> loaded;
    auto it = loaded.find(setAndName);
    if (it == loaded.end())
        it = loaded.emplace(setAndName, host::loadDeliverable(deliverablePath(setAndName))).first;
    return it->second;
}

std::string deliverablePath(const std::string& setAndName)
{
    // The test deliverables lie in host/test in every build.
    const char* folder = setAndName.starts_with("test/") ? "host/" : FPMEX_DELIVERABLE_FOLDER;
    return std::string(FPMEX_BUILD_DIR) + "/" + folder + setAndName + FPMEX_DELIVERABLE_SUFFIX;
}

Array arg(const std::string& expression)
{
    return runner::parseArgument(expression);
}

CallResult call(const std::string& setAndName, int nlhs, const std::vector<const mxArray*>& inputs)
{
    const std::string name = setAndName.substr(setAndName.rfind('/') + 1);
    const std::size_t blocksBefore = host::liveBlocks();
    CallResult result = host::call(deliverable(setAndName), nlhs, inputs, name.c_str());
    for (const std::string& fault : result.faults)
        ADD_FAILURE() << setAndName << ": host fault: " << fault;
    std::size_t kept = 0;
    for (const Array& output : result.outputs)
        if (output)
            kept += (mxGetData(output.get()) != nullptr) + (mxGetImagData(output.get()) != nullptr);
    EXPECT_LE(host::liveBlocks(), blocksBefore + kept + 64 * result.outputs.size())
        << setAndName << ": blocks outlived the call";
    return result;
}

CallResult call(const std::string& setAndName, int nlhs, std::initializer_list<const mxArray*> inputs)
{
    return call(setAndName, nlhs, std::vector<const mxArray*>(inputs));
}

std::string unservedAnswer(const std::string& name, std::size_t inputs, const std::string& refusal)
{
    if (!FPMEX_DELIVERABLES_HAND_OVER)
        return refusal;
    return "mexCallMATLAB: the embedded host does not provide " + name + " with " + std::to_string(inputs) +
           " input(s); it serves double(x) and prod(x[, dim][, outtype]).";
}

std::vector<mwSize> dimensionsOf(const mxArray* array)
{
    const mwSize* dims = mxGetDimensions(array);
    return std::vector<mwSize>(dims, dims + mxGetNumberOfDimensions(array));
}

} // namespace fpmex::test
