// A deliverable as a class method in Octave: the function object Octave
// keeps for NAME.oct in @single/ or @double/, and the call that runs the
// deliverable's mexFunction on Octave's values.
#include "install.h"
#include "octave_values.h"

#include <octave/defun-int.h>
#include <octave/error.h>
#include <octave/ov-dld-fcn.h>
#include <octave/ovl.h>
#include <octave/version.h>

#include <dlfcn.h>

#include <algorithm>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace fpmex::octave_host {
namespace {

// Inputs are read in place; outputs take over the buffers the deliverable
// filled. Like Octave's MEX interface, a call with no output requested
// still returns the first one (ans), and outputs left unset come back
// undefined.
octave_value_list callDeliverable(const octave_value_list& args, int nargout)
{
    const int nlhs = std::max(nargout, 0);
    try {
        const CallScope scope;
        const int nrhs = args.length();
        std::vector<const mxArray_tag*> inputs(static_cast<std::size_t>(nrhs));
        for (int i = 0; i < nrhs; ++i)
            inputs[static_cast<std::size_t>(i)] = wrapValue(args(i));
        std::vector<mxArray_tag*> outputs(static_cast<std::size_t>(std::max(nlhs, 1)), nullptr);
        mexFunction(nlhs, outputs.data(), nrhs, inputs.data());
        const int count = nlhs == 0 && outputs[0] != nullptr ? 1 : nlhs;
        octave_value_list results(count);
        for (int i = 0; i < count; ++i) {
            if (outputs[static_cast<std::size_t>(i)] != nullptr)
                results(i) = valueOf(outputs[static_cast<std::size_t>(i)], true);
        }
        return results;
    } catch (const std::bad_alloc&) {
        error("out of memory or dimension too large for Octave's index type");
    }
}

// What mexAtExit registered, and the method objects alive. This library is
// pinned (pinLibrary), so Octave never unloads the code of threads it may
// have started; but Octave lets go of the method at clear and when the
// interpreter ends, and that is when MATLAB would run the exit function.
// The image and its registration outlive the method: a later call finds
// the library as the exit function left it.
void (*exitFunction)(void) = nullptr;
int liveMethods = 0;

// A failing exit function cannot end a call: there is none, and a
// destructor must not throw. Its message goes to stderr.
void runExitFunction()
{
    if (exitFunction == nullptr)
        return;
    try {
        const CallScope scope;
        exitFunction();
    } catch (const std::exception& error) {
        std::cerr << "error: the exit function of " << functionName() << " failed: " << error.what() << std::endl;
    }
}

// Octave takes a function from a class folder only when the function says
// it is a method of that class; a plain loaded function says it is not.
class SetMethod : public octave_dld_function {
public:
    SetMethod(const octave::dynamic_library& library, const char* name, const char* description,
              const char* className)
        : octave_dld_function(callDeliverable, library, name, description), className_(className)
    {
        ++liveMethods;
    }

    ~SetMethod() override
    {
        if (--liveMethods == 0)
            runExitFunction();
    }

    bool is_legacy_method(const std::string& name) const override { return name.empty() || name == className_; }

private:
    std::string className_;
};

// The method object's code lives in this library, and Octave closes the
// library before it destroys the object (at exit, or after clear): the
// library stays loaded until the process ends.
void pinLibrary()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<const void*>(&installMethod), &info) != 0 && info.dli_fname != nullptr)
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

} // namespace

void setExitFunction(void (*function)(void))
{
    exitFunction = function;
}

octave_function* installMethod(const octave::dynamic_library& library, bool relative, const char* name,
                               const char* description, const char* className)
{
    octave::check_version(OCTAVE_API_VERSION, name);
    pinLibrary();
    setFunctionName(name);
    auto* method = new SetMethod(library, name, description, className);
    if (relative)
        method->mark_relative();
    return method;
}

} // namespace fpmex::octave_host
