// The native Octave host: MATLAB's array and MEX interface, as the
// deliverables call it (host/include), implemented over Octave's own values.
// An input is read in place; an output buffer from mxMalloc becomes the
// Octave array's own storage, so that real data is never copied.
//
// This header sits between the two halves of the host and includes neither
// side's declarations: the files that implement MATLAB's functions
// (mx_api.cpp, mex_api.cpp) include host/include, the ones that talk to
// Octave (octave_values.cpp, class_method.cpp) include Octave's headers, and
// both name their own mxArray and mxClassID. This header uses plain types:
// class numbers are MATLAB's (the same in both), sizes are size_t.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fpmex::octave_host {

struct Value; // an Octave value an array shows (octave_values.cpp)

} // namespace fpmex::octave_host

// An array as the deliverables see it: MATLAB's class number, sizes and
// separate real and imaginary buffers. It either shows an Octave value
// (an input, or a result of mexCallMATLAB), whose buffers belong to Octave
// or to the call, or was made by the deliverable during the call.
struct mxArray_tag {
    int classId = 0;
    bool complex = false;
    bool sparse = false;
    std::vector<std::size_t> dims{0, 0};
    void* re = nullptr; // a sparse array shows no buffers: nothing of ours reads them
    void* im = nullptr;
    double firstNonzero = 0; // what mxGetScalar gives for a sparse array
    fpmex::octave_host::Value* value = nullptr;
};

extern "C" void mexFunction(int nlhs, mxArray_tag* plhs[], int nrhs, const mxArray_tag* prhs[]);

namespace fpmex::octave_host {

// Everything one call of a deliverable made: its arrays and its memory
// blocks. What no output has taken over is released when the scope ends,
// also when an error ends the call. Scopes nest (a host function called
// back may call this deliverable again); the innermost is the current one.
class CallScope {
public:
    CallScope();
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

    struct Block {
        void* pointer;
        std::size_t bytes;
    };
    std::vector<Block> blocks;
    std::vector<mxArray_tag*> arrays;

private:
    CallScope* outer_;
};

// A block of the current call; ends the call with Octave's allocation
// message when there is not enough memory.
void* allocateBlock(std::size_t bytes, bool zeroed);

// Lets an Octave array take over a block of the current call, which then
// never releases it. False (and nothing changes) unless the block is the
// call's and exactly `bytes` long, as the array will free it.
bool takeBlock(void* pointer, std::size_t bytes);

// The length of a block of the current call; 0 for any other pointer.
std::size_t blockBytes(const void* pointer);

// A new array of the current call, of class `classId`, 0-by-0, no data.
mxArray_tag* newArray(int classId);

// The deliverable's name (mexFunctionName), set once when Octave loads it.
const std::string& functionName();
void setFunctionName(const char* name);

// What mexAtExit registers: run when Octave lets go of the last method
// object of this library (class_method.cpp).
void setExitFunction(void (*function)(void));

// The number of elements; SIZE_MAX when the product of the sizes does not fit.
std::size_t elementCount(const std::vector<std::size_t>& dims);

std::size_t elementBytes(int classId);

// What the array half asks of Octave (octave_values.cpp).
[[noreturn]] void raiseError(const std::string& message);
void raiseWarning(const std::string& message);
void print(const std::string& text);
void callFunction(int nlhs, mxArray_tag* plhs[], int nrhs, mxArray_tag* prhs[], const char* name);
Value* shareValue(const Value* value);
void releaseValue(Value* value);

} // namespace fpmex::octave_host
