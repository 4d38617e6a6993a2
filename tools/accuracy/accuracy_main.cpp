// fpmex_accuracy: measures the kernels against MPFR.
//
//   fpmex_accuracy single [FUNCTION...]     every single bit pattern through
//                                           log2, log, log10, exp, floor
//   fpmex_accuracy double SAMPLES [FUNCTION...]
//                                           random doubles through log2, log10,
//                                           exp, sqrt, round
//   fpmex_accuracy exact SAMPLES            plus and prod against exact sums
//                                           and products
//
// FPMEX_ACCURACY_THREADS sets the number of threads (default: all cores).
#include "accuracy.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    using namespace fpmex::accuracy;
    unsigned threads = std::thread::hardware_concurrency();
    if (const char* text = std::getenv("FPMEX_ACCURACY_THREADS")) {
        threads = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    }
    if (threads == 0) {
        threads = 1;
    }
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "single") {
        return runSingleExhaustive({argv + 2, argv + argc}, threads);
    }
    if ((mode == "double" || mode == "exact") && argc > 2) {
        const std::uint64_t samples = std::strtoull(argv[2], nullptr, 10);
        if (mode == "double") {
            return runDoubleSampled({argv + 3, argv + argc}, samples, threads);
        }
        return runExactSampled(samples, threads);
    }
    std::fprintf(stderr, "usage: %s single [FUNCTION...] | double SAMPLES [FUNCTION...] | exact SAMPLES\n", argv[0]);
    return 2;
}
