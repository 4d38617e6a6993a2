// The vectors a kernel computes with: `registers` hardware registers of the
// level (namespace reg) side by side, so that one step of a kernel runs that
// many independent chains of dependent operations, interleaved; a chain of
// one register would leave the processor waiting on each result. Every
// operation applies the level's operation to each register in turn. Included
// by level_begin.h only. Like everything that depends on the register
// count, it has internal linkage: kernels of one level built with different
// counts (FPMEX_SIMD_REGISTERS) must not share a definition.

namespace fpmex::FPMEX_SIMD_LEVEL {
namespace {

inline constexpr std::size_t lanes = registers * reg::lanes;
static_assert(lanes <= 32, "lane masks are 32-bit");

template <class R>
struct Pack {
    R part[registers];
};

using Doubles = Pack<reg::Doubles>;
using Floats = Pack<reg::Floats>;
using Bits = Pack<reg::Bits>;
using Mask = Pack<reg::Mask>;

// Each register by a constant index, so that the compiler keeps every part
// in a register of its own (a loop would leave the pack in memory).
template <class R, class Op, std::size_t... index>
inline Pack<R> eachOf(Op op, std::index_sequence<index...>)
{
    return Pack<R>{{op(index)...}};
}
template <class R, class Op>
inline Pack<R> each(Op op)
{
    return eachOf<R>(op, std::make_index_sequence<registers>{});
}
template <class Op, std::size_t... index>
inline void forEachOf(Op op, std::index_sequence<index...>)
{
    (op(index), ...);
}
template <class Op>
inline void forEach(Op op)
{
    forEachOf(op, std::make_index_sequence<registers>{});
}

inline Doubles splat(double x) { return each<reg::Doubles>([&](std::size_t) { return reg::splat(x); }); }
inline Bits splatBits(std::uint64_t x) { return each<reg::Bits>([&](std::size_t) { return reg::splatBits(x); }); }

inline Floats loadFloats(const float* p)
{
    return each<reg::Floats>([&](std::size_t i) { return reg::loadFloats(p + i * reg::lanes); });
}
inline Doubles loadDoubles(const double* p)
{
    return each<reg::Doubles>([&](std::size_t i) { return reg::loadDoubles(p + i * reg::lanes); });
}
inline void storeFloats(float* p, Floats x)
{
    forEach([&](std::size_t i) { reg::storeFloats(p + i * reg::lanes, x.part[i]); });
}
inline void storeDoubles(double* p, Doubles x)
{
    forEach([&](std::size_t i) { reg::storeDoubles(p + i * reg::lanes, x.part[i]); });
}
#if FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) != FPMEX_SIMD_sse2
inline void streamFloats(float* p, Floats x)
{
    forEach([&](std::size_t i) { reg::streamFloats(p + i * reg::lanes, x.part[i]); });
}
inline void streamDoubles(double* p, Doubles x)
{
    forEach([&](std::size_t i) { reg::streamDoubles(p + i * reg::lanes, x.part[i]); });
}
#endif

#define FPMEX_PACK_UNARY(R, A, name)                                                                          \
    inline Pack<reg::R> name(Pack<reg::A> a)                                                                  \
    {                                                                                                         \
        return each<reg::R>([&](std::size_t i) { return reg::name(a.part[i]); });                             \
    }
#define FPMEX_PACK_BINARY(R, A, name, expression)                                                             \
    inline Pack<reg::R> name(Pack<reg::A> a, Pack<reg::A> b)                                                  \
    {                                                                                                         \
        return each<reg::R>([&](std::size_t i) {                                                              \
            const reg::A x = a.part[i], y = b.part[i];                                                        \
            return expression;                                                                                \
        });                                                                                                   \
    }

FPMEX_PACK_UNARY(Doubles, Floats, widen)
FPMEX_PACK_UNARY(Floats, Doubles, narrow)
FPMEX_PACK_UNARY(Bits, Doubles, bitsOf)
FPMEX_PACK_UNARY(Doubles, Bits, doublesOf)
FPMEX_PACK_UNARY(Doubles, Doubles, sqrt)
FPMEX_PACK_UNARY(Doubles, Doubles, negate)
FPMEX_PACK_UNARY(Doubles, Doubles, magnitude)
#if FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) != FPMEX_SIMD_sse2
FPMEX_PACK_UNARY(Doubles, Doubles, floor)
FPMEX_PACK_UNARY(Doubles, Doubles, truncate)
FPMEX_PACK_UNARY(Floats, Floats, floor)
FPMEX_PACK_UNARY(Doubles, Doubles, reciprocalEstimate)
using reg::reciprocalEstimateBits;
#endif
FPMEX_PACK_UNARY(Mask, Doubles, isNan)
FPMEX_PACK_UNARY(Mask, Doubles, signBitSet)

FPMEX_PACK_BINARY(Doubles, Doubles, operator+, x + y)
FPMEX_PACK_BINARY(Doubles, Doubles, operator-, x - y)
FPMEX_PACK_BINARY(Doubles, Doubles, operator*, x* y)
FPMEX_PACK_BINARY(Doubles, Doubles, operator/, x / y)
FPMEX_PACK_BINARY(Doubles, Doubles, min, reg::min(x, y))
FPMEX_PACK_BINARY(Doubles, Doubles, max, reg::max(x, y))
FPMEX_PACK_BINARY(Bits, Bits, operator+, x + y)
FPMEX_PACK_BINARY(Bits, Bits, operator-, x - y)
FPMEX_PACK_BINARY(Bits, Bits, operator&, x& y)
FPMEX_PACK_BINARY(Bits, Bits, operator|, x | y)
FPMEX_PACK_BINARY(Bits, Bits, andNot, reg::andNot(x, y))
FPMEX_PACK_BINARY(Mask, Doubles, operator<, x < y)
FPMEX_PACK_BINARY(Mask, Doubles, operator<=, x <= y)
FPMEX_PACK_BINARY(Mask, Doubles, operator==, x == y)
FPMEX_PACK_BINARY(Mask, Bits, operator==, x == y)
FPMEX_PACK_BINARY(Mask, Mask, operator&, x& y)
FPMEX_PACK_BINARY(Mask, Mask, operator|, x | y)

#undef FPMEX_PACK_UNARY
#undef FPMEX_PACK_BINARY

inline Mask operator!(Mask a) { return each<reg::Mask>([&](std::size_t i) { return !a.part[i]; }); }

inline Doubles mulAdd(Doubles a, Doubles b, Doubles c)
{
    return each<reg::Doubles>([&](std::size_t i) { return reg::mulAdd(a.part[i], b.part[i], c.part[i]); });
}

#if FPMEX_SIMD_ID(FPMEX_SIMD_LEVEL) != FPMEX_SIMD_sse2
// a b - c and c - a b, each with one rounding: at the levels with FMA.
inline Doubles mulSub(Doubles a, Doubles b, Doubles c)
{
    return each<reg::Doubles>([&](std::size_t i) { return reg::mulSub(a.part[i], b.part[i], c.part[i]); });
}

inline Doubles negMulAdd(Doubles a, Doubles b, Doubles c)
{
    return each<reg::Doubles>([&](std::size_t i) { return reg::negMulAdd(a.part[i], b.part[i], c.part[i]); });
}
#endif

// c[0] + c[1] w + c[2] w^2 + ... by Horner's scheme, unrolled: a loop would
// keep the chain of dependent multiply-adds from overlapping with the
// neighbouring work.
template <std::size_t count>
FPMEX_SIMD_STEP Doubles horner(const double (&c)[count], Doubles w)
{
    Doubles p = splat(c[count - 1]);
#pragma GCC unroll 16
    for (int i = static_cast<int>(count) - 2; i >= 0; --i)
        p = mulAdd(p, w, splat(c[i]));
    return p;
}

inline Doubles select(Mask m, Doubles yes, Doubles no)
{
    return each<reg::Doubles>([&](std::size_t i) { return reg::select(m.part[i], yes.part[i], no.part[i]); });
}

inline Doubles lookup16(const double* table, Bits index)
{
    return each<reg::Doubles>([&](std::size_t i) { return reg::lookup16(table, index.part[i]); });
}

template <int n>
inline Bits shiftRight(Bits a)
{
    return each<reg::Bits>([&](std::size_t i) { return reg::shiftRight<n>(a.part[i]); });
}
template <int n>
inline Bits shiftLeft(Bits a)
{
    return each<reg::Bits>([&](std::size_t i) { return reg::shiftLeft<n>(a.part[i]); });
}

// Bit k set for a true lane k, lanes counted across the registers.
inline unsigned laneBits(Mask a)
{
    unsigned bits = 0;
    forEach([&](std::size_t i) { bits |= reg::laneBits(a.part[i]) << (i * reg::lanes); });
    return bits;
}
inline unsigned equalLanes(Floats a, Floats b)
{
    unsigned bits = 0;
    forEach([&](std::size_t i) { bits |= reg::equalLanes(a.part[i], b.part[i]) << (i * reg::lanes); });
    return bits;
}

} // namespace
} // namespace fpmex::FPMEX_SIMD_LEVEL
