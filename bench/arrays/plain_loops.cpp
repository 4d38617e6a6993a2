#include "plain_loops.h"

namespace fpmex::bench {

template <int N>
float plainRealProduct(const float* in, std::size_t count)
{
    long double a[N];
#pragma GCC unroll 8
    for (int r = 0; r < N; ++r)
        a[r] = 1;
    std::size_t i = 0;
    for (; i + N <= count; i += N) {
#pragma GCC unroll 8
        for (int r = 0; r < N; ++r)
            a[r] *= in[i + r];
    }
    for (; i < count; ++i)
        a[0] *= in[i];
    long double product = 1;
#pragma GCC unroll 8
    for (int r = 0; r < N; ++r)
        product *= a[r];
    return static_cast<float>(product);
}

template float plainRealProduct<5>(const float*, std::size_t);
template float plainRealProduct<7>(const float*, std::size_t);
template float plainRealProduct<8>(const float*, std::size_t);

namespace {

inline void multiplyComplex(long double& a, long double& b, long double x, long double y)
{
    const long double re = a * x - b * y;
    b = b * x + a * y;
    a = re;
}

} // namespace

void plainComplexProduct(const float* inRe, const float* inIm, std::size_t count, float* outRe, float* outIm)
{
    long double a0 = 1, b0 = 0, a1 = 1, b1 = 0;
    for (std::size_t i = 0; i + 2 <= count; i += 2) {
        multiplyComplex(a0, b0, inRe[i], inIm[i]);
        multiplyComplex(a1, b1, inRe[i + 1], inIm[i + 1]);
    }
    multiplyComplex(a0, b0, a1, b1);
    *outRe = static_cast<float>(a0);
    *outIm = static_cast<float>(b0);
}

} // namespace fpmex::bench
