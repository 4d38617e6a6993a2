// Walking a buffer a vector at a time, for a kernel's .inl (between
// level_begin.h and level_end.h). The last step may hold fewer than `lanes`
// elements: it reads and writes only its own elements, through a padded
// copy, so that no buffer is touched beyond its count.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

inline constexpr unsigned allLanes = (1u << lanes) - 1;

// Access to `lanes` elements in place.
struct FullLanes {
    static constexpr unsigned valid = allLanes;
    static Floats load(const float* p) { return loadFloats(p); }
    static Doubles load(const double* p) { return loadDoubles(p); }
    static void store(float* p, Floats x) { storeFloats(p, x); }
    static void store(double* p, Doubles x) { storeDoubles(p, x); }
};

// Access to the first `count` (fewer than `lanes`) elements. The lanes
// beyond them read as `padding`, a value that takes no special path.
struct PartialLanes {
    std::size_t count;
    unsigned valid;

    template <class T>
    auto load(const T* p) const
    {
        T padded[lanes];
        for (std::size_t k = 0; k < lanes; ++k)
            padded[k] = k < count ? p[k] : T(1);
        if constexpr (sizeof(T) == 4)
            return loadFloats(padded);
        else
            return loadDoubles(padded);
    }
    void store(float* p, Floats x) const
    {
        float lanesOut[lanes];
        storeFloats(lanesOut, x);
        std::memcpy(p, lanesOut, count * sizeof(float));
    }
    void store(double* p, Doubles x) const
    {
        double lanesOut[lanes];
        storeDoubles(lanesOut, x);
        std::memcpy(p, lanesOut, count * sizeof(double));
    }
};

// Calls step(first, access) for elements first .. first + lanes - 1, from
// element 0 up; the last call may get a PartialLanes. count >= 1.
template <class Step>
inline void walkLanes(std::size_t count, Step step)
{
    std::size_t first = 0;
    for (; count - first >= lanes; first += lanes)
        step(first, FullLanes{});
    if (first != count)
        step(first, PartialLanes{count - first, (1u << (count - first)) - 1});
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
