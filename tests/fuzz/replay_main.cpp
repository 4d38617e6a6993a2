// Replays fuzz inputs without libFuzzer (a GCC build, the sanitizer build,
// the Windows build): every file named on the command line, or in a
// directory named there, is one call, checked as the fuzzer checks it.
// Exits 1 when any call has a problem, after reporting each one.
//
// With --outcomes first, prints instead one line per input, in file name
// order: the file name and a 64-bit digest of everything the caller sees of
// the call, so that two builds (Linux and Windows) can be compared. Calls
// whose result the host computes itself show "host" instead of the digest;
// after it, a 32-bit build marks "narrowed" those whose input sizes or
// memory request it cannot represent, and "handed" those that MATLAB's
// libraries hand to the host's own function. With
// --show first, prints everything the caller sees, other bytes than printable
// ASCII in hex.
#include "fuzz_call.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

fpmex::fuzz::FuzzCall load(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return fpmex::fuzz::decodeCall(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

int replay(const std::filesystem::path& file)
{
    const std::string problems = fpmex::fuzz::runAndCheck(load(file));
    if (problems.empty())
        return 0;
    std::fprintf(stderr, "%s: %s", file.string().c_str(), problems.c_str());
    return 1;
}

// FNV-1a: stable across platforms and builds.
std::uint64_t digest(const std::string& text)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return hash;
}

std::vector<std::filesystem::path> inputFiles(int first, int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = first; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(path);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    fpmex::host::setMemoryLimit(fpmex::fuzz::fuzzMemoryLimit);
    const std::string option = argc > 1 ? argv[1] : "";
    const bool outcomes = option == "--outcomes", show = option == "--show";
    const std::vector<std::filesystem::path> files = inputFiles(outcomes || show ? 2 : 1, argc, argv);
    if (outcomes || show) {
        for (const auto& file : files) {
            const fpmex::fuzz::FuzzCall call = load(file);
            const std::string seen = fpmex::fuzz::observe(call);
            // A narrowed call has another input; the host may compute it.
            if (outcomes && (call.narrowed || fpmex::fuzz::requestsBeyondAddressSpace(seen)))
                std::printf("%s %016" PRIx64 " narrowed\n", file.filename().string().c_str(), digest(seen));
            else if (outcomes && fpmex::fuzz::hostComputesResult(call))
                std::printf("%s host\n", file.filename().string().c_str());
            else if (outcomes && fpmex::fuzz::handedToHostFunction(call, seen))
                std::printf("%s %016" PRIx64 " handed\n", file.filename().string().c_str(), digest(seen));
            else if (outcomes)
                std::printf("%s %016" PRIx64 "\n", file.filename().string().c_str(), digest(seen));
            else
                std::printf("%s:\n%s\n", file.filename().string().c_str(), fpmex::fuzz::printable(seen).c_str());
        }
        return files.empty() ? 1 : 0;
    }
    int failed = 0;
    for (const auto& file : files)
        failed += replay(file);
    std::printf("%zu calls replayed, %d with problems\n", files.size(), failed);
    return failed == 0 && !files.empty() ? 0 : 1;
}
