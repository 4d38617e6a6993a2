// The checks of one fuzzed call. What each deliverable may answer is its
// documented messages; the host's own errors (out of memory, a conversion
// or a prod its builtins refuse) may end any call that reaches them.
#include "fuzz_call.h"

#include "fpmex_deliverables.h"

#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <xmmintrin.h>

namespace fpmex::fuzz {
namespace {

const std::set<std::string>& documentedMessages(const std::string& name)
{
    static const std::map<std::string, std::set<std::string>> messages = {
        {"plus", {"Wrong data type.", "Incompatible dimensions.", "Sparse operands are not supported."}},
        {"lt", {"Wrong data type.", "Incompatible dimensions.", "Sparse operands are not supported."}},
        {"prod", {"Dimension argument must be a positive integer scalar."}},
        {"ones", {"Size vector must be a row vector with integer elements.", "Size vector elements must be less than 2^31."}},
        {"pi", {}},
        {"log2", {"Argument must be real."}},
    };
    static const std::set<std::string> none;
    auto it = messages.find(name);
    return it == messages.end() ? none : it->second;
}

bool isUnary(const std::string& name)
{
    return name == "log2" || name == "log" || name == "log10" || name == "exp" || name == "sqrt" ||
           name == "floor" || name == "round";
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// The embedded host's answer to a call that a MATLAB library handed to the
// host's own function of its name, which this host does not have.
bool isHandedOver(const Deliverable& target, const std::string& message)
{
    return FPMEX_DELIVERABLES_HAND_OVER &&
           (startsWith(message, ("mexCallMATLAB: the embedded host does not provide " + target.name + " ").c_str()) ||
            startsWith(message, ("mexCallMATLAB: the embedded host's " + target.name + " gives one output.").c_str()));
}

bool isDocumented(const Deliverable& target, const std::string& message)
{
    if (isHandedOver(target, message))
        return true;
    if (message == "Too many output arguments.")
        return true;
    if (message == "Wrong number of input arguments.")
        return target.name != "ones" && target.name != "pi";
    if (startsWith(message, "Out of memory: "))
        return true;
    if (isUnary(target.name) &&
        (message == "Argument must be a full single array." || message == "Argument must be a full double array."))
        return message.find(target.setAndName.substr(0, target.setAndName.find('/'))) != std::string::npos;
    // Answers of the host's "double" and "prod", which ones and prod call,
    // and its refusal of the functions it does not have (ones with a class
    // name or 'like', which go to the host's own ones).
    if (target.name == "ones" || target.name == "prod") {
        if (startsWith(message, "mexCallMATLAB: the embedded host does not provide "))
            return true;
        if (startsWith(message, "Conversion to double from ") || message == "The embedded host does not convert sparse arrays.")
            return true;
        if (target.name == "prod" && (startsWith(message, "The embedded host computes prod of full double arrays only") ||
                                      message == "Dimension argument must be a positive integer scalar within indexing range."))
            return true;
    }
    return documentedMessages(target.name).count(message) != 0;
}

// Everything a caller can observe of an output array, bit for bit.
std::string describe(const mxArray* array)
{
    std::ostringstream out;
    if (array == nullptr)
        return "none";
    out << mxGetClassName(array) << (mxIsComplex(array) ? " complex" : " real") << " [";
    const mwSize* dims = mxGetDimensions(array);
    for (mwSize i = 0; i < mxGetNumberOfDimensions(array); ++i)
        out << (i ? "x" : "") << dims[i];
    out << "]";
    std::string text = out.str();
    const std::size_t bytes = mxGetNumberOfElements(array) * mxGetElementSize(array);
    for (const void* buffer : {mxGetData(array), mxGetImagData(array)}) {
        if (buffer == nullptr)
            continue;
        text += " |";
        text.append(static_cast<const char*>(buffer), bytes);
    }
    return text;
}

struct Outcome {
    std::string summary; // what the caller sees
    std::vector<std::string> problems;
};

void setMode(const CallerMode& mode)
{
    asm volatile("fldcw %0" : : "m"(mode.x87Control) : "memory");
    _mm_setcsr(mode.mxcsr);
}

Outcome runOnce(const FuzzCall& call, const CallerMode& mode)
{
    Outcome outcome;
    const Deliverable& target = *call.target;
    std::vector<const mxArray*> inputs;
    for (const host::Array& input : call.inputs)
        inputs.push_back(input.get());

    host::setMallocOffset(call.mallocOffset);
    const std::size_t blocksBefore = host::liveBlocks();
    setMode(mode);
    host::CallResult result = host::call(target.function, call.nlhs, inputs, target.name.c_str());
    setMode(CallerMode{0x037F, 0x1F80});
    host::setMallocOffset(0);

    for (const std::string& fault : result.faults)
        outcome.problems.push_back("host fault: " + fault);
    std::ostringstream summary;
    if (result.failed) {
        summary << "error: " << result.error;
        if (!isDocumented(target, result.error))
            outcome.problems.push_back("undocumented message: " + result.error);
    } else {
        const bool banner = inputs.empty() && target.name != "pi";
        if (banner && result.printed.empty())
            outcome.problems.push_back("no banner for a call without inputs");
        for (std::size_t i = 0; i < result.outputs.size(); ++i) {
            const mxArray* output = result.outputs[i].get();
            if (banner && output != nullptr)
                outcome.problems.push_back("an output after the banner");
            if (!banner && output == nullptr && (i < std::size_t(call.nlhs) || i == 0))
                outcome.problems.push_back("output " + std::to_string(i + 1) + " not assigned");
            if (output != nullptr && mxGetNumberOfElements(output) != 0 && mxGetData(output) == nullptr)
                outcome.problems.push_back("output " + std::to_string(i + 1) + " has elements but no data");
            if (output != nullptr && mxIsComplex(output) && mxGetNumberOfElements(output) != 0 &&
                mxGetImagData(output) == nullptr)
                outcome.problems.push_back("output " + std::to_string(i + 1) + " is complex without an imaginary buffer");
            summary << "out" << i + 1 << ": " << describe(output) << "\n";
        }
    }
    for (const std::string& warning : result.warnings)
        summary << "warning: " << warning << "\n";
    summary << "printed: " << result.printed;

    result.outputs.clear();
    if (host::liveBlocks() != blocksBefore)
        outcome.problems.push_back("blocks outlived the call: " + std::to_string(host::liveBlocks()) + " live, " +
                                   std::to_string(blocksBefore) + " before");
    outcome.summary = summary.str();
    return outcome;
}

// A report shows the start of an outcome.
constexpr std::size_t reportLimit = 600;

} // namespace

std::string printable(const std::string& text, std::size_t limit)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    std::size_t i = 0;
    for (; i < text.size() && out.size() < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += char(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return i < text.size() ? out + "..." : out;
}

bool hostComputesResult(const FuzzCall& call)
{
    return call.target->name == "prod" && !call.inputs.empty() &&
           (mxGetClassID(call.inputs[0].get()) != mxSINGLE_CLASS || mxIsSparse(call.inputs[0].get()));
}

bool requestsBeyondAddressSpace(const std::string& seen)
{
    return sizeof(std::size_t) < 8 &&
           startsWith(seen, ("error: Out of memory: the request for " + std::to_string(SIZE_MAX) + " bytes").c_str());
}

bool handedToHostFunction(const FuzzCall& call, const std::string& seen)
{
    const std::string prefix = "error: ";
    return startsWith(seen, prefix.c_str()) && isHandedOver(*call.target, seen.substr(prefix.size()));
}

std::string observe(const FuzzCall& call)
{
    return runOnce(call, CallerMode{0x037F, 0x1F80}).summary;
}

std::string runAndCheck(const FuzzCall& call)
{
    const Outcome plain = runOnce(call, CallerMode{0x037F, 0x1F80});
    const Outcome moded = runOnce(call, call.mode);
    std::ostringstream report;
    for (const std::string& problem : plain.problems)
        report << problem << "\n";
    for (const std::string& problem : moded.problems)
        report << problem << " (caller's modes " << std::hex << call.mode.x87Control << "/" << call.mode.mxcsr
               << std::dec << ")\n";
    if (plain.summary != moded.summary && !hostComputesResult(call))
        report << "result depends on the caller's floating-point modes (" << std::hex << call.mode.x87Control << "/"
               << call.mode.mxcsr << std::dec << "):\n  default: " << printable(plain.summary, reportLimit)
               << "\n  caller's: " << printable(moded.summary, reportLimit) << "\n";
    report << checkLevels(call);
    if (report.tellp() == 0)
        return {};
    std::ostringstream full;
    full << call.target->setAndName << ", nlhs " << call.nlhs << ", " << call.inputs.size() << " inputs, mxMalloc offset "
         << call.mallocOffset << ":\n"
         << report.str();
    return full.str();
}

} // namespace fpmex::fuzz
