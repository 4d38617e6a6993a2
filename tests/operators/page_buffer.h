// Buffers that end exactly at an inaccessible page, so that a kernel reading
// or writing one element past its count faults at once, in any build. The
// start is therefore at the offset the count implies (unaligned for most
// counts). A fully inaccessible buffer checks that a kernel reads nothing.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace fpmex::test {

template <class T>
class PageEndBuffer {
public:
    explicit PageEndBuffer(std::size_t count) : count_(count)
    {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t bytes = count * sizeof(T);
        dataPages_ = (bytes + page - 1) / page * page;
        mappedBytes_ = dataPages_ + page;
        void* base = mmap(nullptr, mappedBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED)
            throw std::runtime_error("mmap failed");
        base_ = static_cast<unsigned char*>(base);
        mprotect(base_ + dataPages_, page, PROT_NONE);
        data_ = reinterpret_cast<T*>(base_ + dataPages_ - bytes);
    }
    PageEndBuffer(const std::vector<T>& values) : PageEndBuffer(values.size())
    {
        std::memcpy(data_, values.data(), values.size() * sizeof(T));
    }
    ~PageEndBuffer() { munmap(base_, mappedBytes_); }
    PageEndBuffer(const PageEndBuffer&) = delete;
    PageEndBuffer& operator=(const PageEndBuffer&) = delete;

    T* data() { return data_; }
    std::vector<T> values() const { return std::vector<T>(data_, data_ + count_); }

    // True when nothing was written below element 0 (the mapping starts
    // zeroed).
    bool untouchedBefore() const
    {
        for (const unsigned char* p = base_; p != reinterpret_cast<const unsigned char*>(data_); ++p) {
            if (*p != 0)
                return false;
        }
        return true;
    }

private:
    std::size_t count_;
    std::size_t dataPages_ = 0;
    std::size_t mappedBytes_ = 0;
    unsigned char* base_ = nullptr;
    T* data_ = nullptr;
};

// A page that faults on any access.
class NoAccessPage {
public:
    NoAccessPage()
    {
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        base_ = mmap(nullptr, page_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base_ == MAP_FAILED)
            throw std::runtime_error("mmap failed");
    }
    ~NoAccessPage() { munmap(base_, page_); }
    NoAccessPage(const NoAccessPage&) = delete;
    NoAccessPage& operator=(const NoAccessPage&) = delete;

    template <class T>
    const T* as() const
    {
        return static_cast<const T*>(base_);
    }

private:
    std::size_t page_ = 0;
    void* base_ = nullptr;
};

} // namespace fpmex::test
