// Buffers that end exactly at an inaccessible page, so that a kernel reading
// or writing one element past its count faults at once, in any build. The
// start is therefore at the offset the count implies (unaligned for most
// counts). A fully inaccessible buffer checks that a kernel reads nothing.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace fpmex::test {

namespace pages {

inline std::size_t size()
{
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
#else
    return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
#endif
}

// Fresh zeroed pages, readable and writable or not accessible at all.
inline unsigned char* map(std::size_t bytes, bool accessible)
{
#ifdef _WIN32
    void* base = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, accessible ? PAGE_READWRITE : PAGE_NOACCESS);
    if (base == nullptr)
        throw std::runtime_error("VirtualAlloc failed");
#else
    void* base = mmap(nullptr, bytes, accessible ? PROT_READ | PROT_WRITE : PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        throw std::runtime_error("mmap failed");
#endif
    return static_cast<unsigned char*>(base);
}

inline void forbid(unsigned char* start, std::size_t bytes)
{
#ifdef _WIN32
    DWORD previous;
    VirtualProtect(start, bytes, PAGE_NOACCESS, &previous);
#else
    mprotect(start, bytes, PROT_NONE);
#endif
}

inline void unmap(unsigned char* base, std::size_t bytes)
{
#ifdef _WIN32
    (void)bytes;
    VirtualFree(base, 0, MEM_RELEASE);
#else
    munmap(base, bytes);
#endif
}

} // namespace pages

template <class T>
class PageEndBuffer {
public:
    explicit PageEndBuffer(std::size_t count) : count_(count)
    {
        const std::size_t page = pages::size();
        const std::size_t bytes = count * sizeof(T);
        dataPages_ = (bytes + page - 1) / page * page;
        mappedBytes_ = dataPages_ + page;
        base_ = pages::map(mappedBytes_, true);
        pages::forbid(base_ + dataPages_, page);
        data_ = reinterpret_cast<T*>(base_ + dataPages_ - bytes);
    }
    PageEndBuffer(const std::vector<T>& values) : PageEndBuffer(values.size())
    {
        std::memcpy(data_, values.data(), values.size() * sizeof(T));
    }
    ~PageEndBuffer() { pages::unmap(base_, mappedBytes_); }
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
        page_ = pages::size();
        base_ = pages::map(page_, false);
    }
    ~NoAccessPage() { pages::unmap(base_, page_); }
    NoAccessPage(const NoAccessPage&) = delete;
    NoAccessPage& operator=(const NoAccessPage&) = delete;

    template <class T>
    const T* as() const
    {
        return reinterpret_cast<const T*>(base_);
    }

private:
    std::size_t page_ = 0;
    unsigned char* base_ = nullptr;
};

} // namespace fpmex::test
