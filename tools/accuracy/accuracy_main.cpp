// fpmex_accuracy: measures the kernels against MPFR.
//
//   fpmex_accuracy single [FUNCTION...]     every single bit pattern through
//                                           log2, log, log10, exp, floor
//   fpmex_accuracy double SAMPLES [FUNCTION...]
//                                           random doubles through log2, log10,
//                                           exp, sqrt, round
//   fpmex_accuracy exact SAMPLES            plus and prod against exact sums
//                                           and products
//   fpmex_accuracy instructions SAMPLES [CASE...]
//                                           the x87 instructions FYL2X (log2
//                                           and times the FLDLG2 constant),
//                                           F2XM1, FSINCOS, FPATAN and FYL2XP1
//                                           alone, error in extended ulps;
//                                           CASE: fyl2x, f2xm1, fsincos,
//                                           fsincos-small (arguments below
//                                           pi/4), fpatan, fyl2xp1
//   fpmex_accuracy evaluations SAMPLES [CASE...]
//                                           the double-double evaluations of
//                                           the vector kernels against their
//                                           bounds; CASE: log2, log2-tail, exp
//
// FPMEX_ACCURACY_THREADS sets the number of threads (default: all cores).
#include "accuracy.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// A sample count of decimal digits only: strtoull alone reads "-1" as
// 2^64 - 1, "1e8" as 1 and a word as 0.
bool parseCount(const char* text, std::uint64_t& count)
{
    if (*text < '0' || *text > '9') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    count = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && count > 0;
}

} // namespace

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
    std::uint64_t samples = 0;
    const bool sampled = mode == "double" || mode == "exact" || mode == "instructions" || mode == "evaluations";
    if (sampled && argc > 2 && parseCount(argv[2], samples)) {
        if (mode == "double") {
            return runDoubleSampled({argv + 3, argv + argc}, samples, threads);
        }
        if (mode == "instructions") {
            return runInstructionError({argv + 3, argv + argc}, samples, threads);
        }
        if (mode == "evaluations") {
            return runEvaluationError({argv + 3, argv + argc}, samples, threads);
        }
        if (mode == "exact") {
            return runExactSampled(samples, threads);
        }
    }
    std::fprintf(stderr,
                 "usage: %s single [FUNCTION...] | double SAMPLES [FUNCTION...] | exact SAMPLES | instructions "
                 "SAMPLES [CASE...] | evaluations SAMPLES [CASE...]\n",
                 argv[0]);
    return 2;
}
