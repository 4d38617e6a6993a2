// mexrun: loads a deliverable in the embedded host, calls it with arguments
// written as MATLAB expressions, printing what MATLAB would show, and
// unloads it.
#include "common/cpu_level.h"
#include "display.h"
#include "fpmex_deliverables.h"
#include "parse.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* usage =
    "usage: mexrun [--nargout N] [--hex] SET/NAME [ARG ...]\n"
    "       mexrun --demo\n"
    "       mexrun --list\n"
    "\n"
    "Calls build/" FPMEX_DELIVERABLE_FOLDER "SET/NAME" FPMEX_DELIVERABLE_SUFFIX " (SET is single or double) in the embedded host.\n"
    "Each ARG is a MATLAB expression: 3, [1 2; 3 4], NaN, -Inf, -0, 1e-40, 2+3i,\n"
    "single(...), double(...), int8(...) ... uint64(...), logical(...), 'text',\n"
    "complex(re, im), zeros(2,0), ones(2,3), reshape(1:24, 2, 3, 4), {}, struct(),\n"
    "sparse(...), 0x7FC00001 and typecast(x, 'single') for exact bit patterns.\n"
    "\n"
    "  --nargout N   request N outputs (default 1)\n"
    "  --hex         print elements as bit patterns\n"
    "  --demo        call every built deliverable on a short example\n"
    "  --list        list the deliverables this build made, and the instruction\n"
    "                set level their kernels use (FPMEX_ISA=x87, sse2, avx2 or\n"
    "                avx512 forces that level, or the highest below it here)\n"
    "\n"
    "Exit status: 0 success, 1 error (the function's or an argument's), 2 host fault.\n";

std::string buildDirectory()
{
    const std::string exe = fpmex::host::executablePath();
    if (exe.empty())
        return FPMEX_BUILD_DIR;
    const std::string dir = exe.substr(0, exe.rfind('/')); // build/bin
    return dir.substr(0, dir.rfind('/'));
}

std::vector<std::string> builtDeliverables()
{
    std::vector<std::string> names;
    std::string list = FPMEX_DELIVERABLE_LIST;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t comma = list.find(',', start);
        names.push_back(list.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return names;
}

// Every deliverable chooses its level the same way, from the same processor
// and the same environment, so the runner's own choice is theirs.
std::string levelLine()
{
    const char* forced = std::getenv("FPMEX_ISA");
    std::string line = std::string("level: ") + fpmex::levelName(fpmex::activeLevel()) + " (this processor: " +
                       fpmex::levelName(fpmex::supportedLevel());
    fpmex::CpuLevel named;
    if (forced != nullptr && !fpmex::parseLevel(forced, named))
        line += std::string("; FPMEX_ISA=") + forced + " is not a level and was ignored";
    else if (forced != nullptr)
        line += std::string("; FPMEX_ISA=") + forced;
    return line + ")\n";
}

std::string libraryPath(const std::string& name)
{
    const std::string suffix = FPMEX_DELIVERABLE_SUFFIX;
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return name;
    return buildDirectory() + "/" FPMEX_DELIVERABLE_FOLDER + name + suffix;
}

// Prints what a call or an exit function printed and warned, its error, or
// else what `outputs` shows, and the host's faults. Returns the exit status.
template <class Outputs>
int report(const fpmex::host::CallResult& result, Outputs outputs)
{
    std::cout << result.printed;
    for (const std::string& warning : result.warnings)
        std::cout << "Warning: " << warning << "\n";
    int status = 0;
    if (result.failed) {
        std::cout.flush();
        std::cerr << "Error: " << result.error << "\n";
        status = 1;
    } else {
        outputs();
    }
    for (const std::string& fault : result.faults) {
        std::cerr << "Host fault: " << fault << "\n";
        status = 2;
    }
    return status;
}

// One call: parse, call, print, unload. Returns the exit status.
int run(const std::string& name, int nlhs, const std::vector<std::string>& expressions, bool hex)
{
    std::vector<fpmex::host::Array> arguments;
    try {
        for (const std::string& expression : expressions)
            arguments.push_back(fpmex::runner::parseArgument(expression));
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << "\n";
        return 1;
    }
    fpmex::host::MexFunction function;
    try {
        function = fpmex::host::loadDeliverable(libraryPath(name));
    } catch (const std::exception& error) {
        std::cerr << "Error: " << error.what() << "\n";
        return 1;
    }
    std::vector<const mxArray*> inputs;
    for (const auto& argument : arguments)
        inputs.push_back(argument.get());
    const std::string functionName = name.substr(name.rfind('/') + 1);
    const fpmex::host::CallResult result = fpmex::host::call(function, nlhs, inputs, functionName.c_str());

    int status = report(result, [&] {
        for (std::size_t k = 0; k < result.outputs.size(); ++k)
            if (result.outputs[k])
                std::cout << fpmex::runner::display(result.outputs.size() == 1 ? "ans" : "out" + std::to_string(k + 1),
                                                    result.outputs[k].get(), hex);
    });
    // Unloading runs the exit function the deliverable registered, as MATLAB
    // does when it clears a function, so that nothing it started outlives it.
    status = std::max(status, report(fpmex::host::unloadDeliverable(function), [] {}));
    return status;
}

struct DemoCall {
    const char* name;
    int nargout;
    std::vector<std::string> arguments;
};

int demo()
{
    const std::vector<DemoCall> calls = {
        {"single/pi", 1, {}},
        {"single/plus", 1, {"single([1 2 3])", "0.5"}},
        {"single/lt", 1, {"single([1 NaN 3])", "single(2)"}},
        {"single/prod", 1, {"single([1 2; 3 4])"}},
        {"single/ones", 1, {"2", "3"}},
        {"single/log2", 1, {"single([-4 8])"}},
        {"single/log2", 2, {"single([1 10 0.25])"}},
        {"single/log", 1, {"single([1 -1 10])"}},
        {"single/log10", 1, {"single([100 -10])"}},
        {"single/exp", 1, {"single([0 1 -Inf])"}},
        {"single/floor", 1, {"single([-1.5 2.7 -0.25])"}},
        {"double/log2", 1, {"[-4 8]"}},
        {"double/sqrt", 1, {"[4 -4 2]"}},
        {"double/log10", 1, {"[1000 1e-3]"}},
        {"double/exp", 1, {"[1 2i]"}},
        {"double/round", 1, {"[-0.5 0.5 2.5]"}},
    };
    const auto built = builtDeliverables();
    int status = 0;
    for (const DemoCall& call : calls) {
        bool present = false;
        for (const auto& name : built)
            present = present || name == call.name;
        if (!present)
            continue;
        std::cout << ">> mexrun" << (call.nargout != 1 ? " --nargout " + std::to_string(call.nargout) : "") << " "
                  << call.name;
        for (const auto& argument : call.arguments)
            std::cout << " '" << argument << "'";
        std::cout << "\n\n";
        std::cout.flush();
        status = std::max(status, run(call.name, call.nargout, call.arguments, false));
    }
    std::cout << ">> mexrun --nargout 2 single/pi\n\n";
    std::cout.flush();
    if (run("single/pi", 2, {}, false) != 1)
        status = 2;
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    int nlhs = 1;
    bool hex = false;
    int k = 1;
    for (; k < argc && argv[k][0] == '-' && argv[k][1] == '-'; ++k) {
        const std::string option = argv[k];
        if (option == "--demo")
            return demo();
        if (option == "--list") {
            for (const auto& name : builtDeliverables())
                std::cout << name << "\n";
            std::cout << levelLine();
            return 0;
        }
        if (option == "--help") {
            std::cout << usage;
            return 0;
        }
        if (option == "--hex") {
            hex = true;
        } else if (option == "--nargout" && k + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++k], &end, 10);
            if (*end != '\0' || value < 0 || value > 16) {
                std::cerr << "Error: --nargout takes a count from 0 to 16, not '" << argv[k] << "'\n";
                return 1;
            }
            nlhs = static_cast<int>(value);
        } else {
            std::cerr << "Error: unknown option '" << option << "'\n" << usage;
            return 1;
        }
    }
    if (k >= argc) {
        std::cerr << usage;
        return 1;
    }
    const std::string name = argv[k++];
    std::vector<std::string> expressions(argv + k, argv + argc);
    return run(name, nlhs, expressions, hex);
}
