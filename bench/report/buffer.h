// The report program's buffers. From 4 MiB on they are advised for
// transparent huge pages, as NumPy advises its own arrays of that size: the
// kernels and their baselines then run on the same kind of pages as the
// NumPy loops they are compared with (at 10^7 elements the page kind alone
// moves a loop's time by 20 to 30 % on the benchmark machine).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

#include <sys/mman.h>

namespace fpmex::report {

template <class T>
struct HugePageAllocator {
    using value_type = T;
    static constexpr std::size_t threshold = std::size_t{4} << 20;
    static constexpr std::size_t hugePage = std::size_t{2} << 20;

    HugePageAllocator() = default;
    template <class U>
    HugePageAllocator(const HugePageAllocator<U>&)
    {
    }

    T* allocate(std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < threshold)
            return static_cast<T*>(::operator new(bytes));
        const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
        void* p = std::aligned_alloc(hugePage, rounded);
        if (p == nullptr)
            throw std::bad_alloc();
        // Advice only: where the system declines, the buffer keeps small pages.
        madvise(p, rounded, MADV_HUGEPAGE);
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n)
    {
        if (n * sizeof(T) < threshold)
            ::operator delete(p);
        else
            std::free(p);
    }
    template <class U>
    bool operator==(const HugePageAllocator<U>&) const
    {
        return true;
    }
};

template <class T>
using Buffer = std::vector<T, HugePageAllocator<T>>;

} // namespace fpmex::report
