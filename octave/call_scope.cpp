#include "host_array.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace fpmex::octave_host {
namespace {

CallScope* current = nullptr;

std::string& name()
{
    static std::string text = "mexFunction";
    return text;
}

} // namespace

CallScope::CallScope() : outer_(current)
{
    current = this;
}

CallScope::~CallScope()
{
    for (mxArray_tag* array : arrays) {
        releaseValue(array->value);
        delete array;
    }
    // Octave's arrays free what they took with std::allocator, that is
    // ::operator delete; the blocks left are freed the same way.
    for (const Block& block : blocks)
        ::operator delete(block.pointer);
    current = outer_;
}

void* allocateBlock(std::size_t bytes, bool zeroed)
{
    void* pointer = nullptr;
    try {
        current->blocks.reserve(current->blocks.size() + 1);
        pointer = ::operator new(bytes);
    } catch (const std::bad_alloc&) {
        raiseError(functionName() + ": failed to allocate " + std::to_string(bytes) + " bytes of memory");
    }
    current->blocks.push_back({pointer, bytes});
    if (zeroed)
        std::memset(pointer, 0, bytes);
    return pointer;
}

bool takeBlock(void* pointer, std::size_t bytes)
{
    std::vector<CallScope::Block>& blocks = current->blocks;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].pointer != pointer)
            continue;
        if (blocks[i].bytes != bytes)
            return false;
        blocks[i] = blocks.back();
        blocks.pop_back();
        return true;
    }
    return false;
}

std::size_t blockBytes(const void* pointer)
{
    for (const CallScope::Block& block : current->blocks) {
        if (block.pointer == pointer)
            return block.bytes;
    }
    return 0;
}

mxArray_tag* newArray(int classId)
{
    current->arrays.reserve(current->arrays.size() + 1);
    auto* array = new mxArray_tag;
    array->classId = classId;
    current->arrays.push_back(array);
    return array;
}

const std::string& functionName()
{
    return name();
}

void setFunctionName(const char* text)
{
    name() = text;
}

std::size_t elementCount(const std::vector<std::size_t>& dims)
{
    std::size_t count = 1;
    for (std::size_t size : dims) {
        if (size == 0)
            return 0;
    }
    for (std::size_t size : dims) {
        if (count > SIZE_MAX / size)
            return SIZE_MAX;
        count *= size;
    }
    return count;
}

} // namespace fpmex::octave_host
