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

    explicit PartialLanes(std::size_t n) : count(n), valid((1u << n) - 1) {}

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
        step(first, PartialLanes(count - first));
}

#if FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) != FPMEX_SIMD_sse2
// From this many bytes of output a pass bound by memory stores past the
// caches: it saves reading each output line before writing it (a plain
// floor loop here at 10^7 singles: 0.24 against 0.36 ns an element), and an
// output that large would not stay cached for its reader anyway. Below
// about 4 MiB the plain stores were faster.
inline constexpr std::size_t streamingOutputBytes = std::size_t{8} << 20;

// Access to `lanes` elements in place, stored past the caches; the stores
// need addresses aligned to a register.
struct StreamingLanes {
    static constexpr unsigned valid = allLanes;
    static Floats load(const float* p) { return loadFloats(p); }
    static Doubles load(const double* p) { return loadDoubles(p); }
    static void store(float* p, Floats x) { streamFloats(p, x); }
    static void store(double* p, Doubles x) { streamDoubles(p, x); }
};

// As walkLanes, for a step that stores to out + first alone: the elements
// before out's first register-aligned address in one partial step, then
// full steps with non-temporal stores, then the rest. The stores are
// fenced before return, so that they are visible to whoever reads out next
// (the caller, or the thread that waits for this chunk). count >= 1.
template <class T, class Step>
inline void walkLanesStreaming(const T* out, std::size_t count, Step step)
{
    constexpr std::size_t alignment = reg::lanes * sizeof(T);
    const std::size_t offset = reinterpret_cast<std::uintptr_t>(out) % alignment;
    if (offset % sizeof(T) != 0) {
        walkLanes(count, step);
        return;
    }
    // An element-aligned buffer reaches a register boundary within a
    // register's elements, fewer than a step's.
    std::size_t first = offset == 0 ? 0 : (alignment - offset) / sizeof(T);
    if (first > count)
        first = count;
    if (first != 0)
        step(std::size_t{0}, PartialLanes(first));
    for (; count - first >= lanes; first += lanes)
        step(first, StreamingLanes{});
    if (first != count)
        step(first, PartialLanes(count - first));
    _mm_sfence();
}
#endif

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
