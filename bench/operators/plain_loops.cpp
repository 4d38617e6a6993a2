#include "plain_loops.h"

namespace fpmex::bench {

void plainAdd(float* out, const float* a, const float* b, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        out[k] = a[k] + b[k];
}

void plainAddComplex(float* outRe, float* outIm, const float* aRe, const float* aIm, const float* bRe,
                     const float* bIm, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        outRe[k] = aRe[k] + bRe[k];
        outIm[k] = bIm[k] + aIm[k];
    }
}

void plainAddScalar(float* out, const float* v, float s, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        out[k] = v[k] + s;
}

void plainLess(unsigned char* out, const float* a, const float* b, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k)
        out[k] = a[k] < b[k];
}

} // namespace fpmex::bench
