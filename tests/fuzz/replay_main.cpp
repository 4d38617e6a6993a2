// Replays fuzz inputs without libFuzzer (a GCC build, the sanitizer build):
// every file named on the command line, or in a directory named there, is
// one call, checked as the fuzzer checks it. Exits 1 when any call has a
// problem, after reporting each one.
#include "fuzz_call.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

int replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto call = fpmex::fuzz::decodeCall(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    const std::string problems = fpmex::fuzz::runAndCheck(call);
    if (problems.empty())
        return 0;
    std::fprintf(stderr, "%s: %s", file.c_str(), problems.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    fpmex::host::setMemoryLimit(fpmex::fuzz::fuzzMemoryLimit);
    int failed = 0, total = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(path);
        }
        for (const auto& file : files) {
            failed += replay(file);
            ++total;
        }
    }
    std::printf("%d calls replayed, %d with problems\n", total, failed);
    return failed == 0 && total > 0 ? 0 : 1;
}
