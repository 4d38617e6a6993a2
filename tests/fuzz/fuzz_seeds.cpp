// Writes the seed corpus: for every deliverable, the argument lists that
// reach each of its paths and each class of bad input (the decoder's layout
// is described in fuzz_decode.cpp). Run as `fuzz_seeds DIR`; the output is
// checked in as tests/fuzz/corpus.
#include "fuzz_call.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

enum Class : std::uint8_t { cell = 0, structure = 1, logical = 2, character = 3, dbl = 4, sgl = 5, int8 = 6,
                            int64 = 12, uint64 = 13, sparse = 14 };
enum Shape : std::uint8_t { scalar = 0, row = 1, matrix = 2, nd = 3, huge = 4, column = 5, trailing = 6, empty = 7 };

Bytes kind(Class c, Shape s, bool complex = false)
{
    return {std::uint8_t(c | (complex ? 0x10 : 0) | (s << 5))};
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A real or complex row of the decoder's special values (indices below 0x80).
Bytes specialsRow(Class c, std::initializer_list<std::uint8_t> picks, bool complex = false)
{
    Bytes out = kind(c, row, complex) + Bytes{std::uint8_t(picks.size())};
    for (int part = 0; part < (complex ? 2 : 1); ++part)
        for (std::uint8_t pick : picks)
            out.push_back(std::uint8_t(pick + part * 3));
    return out;
}

Bytes special(Class c, std::uint8_t pick)
{
    return kind(c, scalar) + Bytes{pick};
}

void write(const std::string& dir, const std::string& name, const Bytes& bytes)
{
    std::ofstream(dir + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const auto& list = fpmex::fuzz::deliverables();
    // Argument lists: {name, args}; the header is added per deliverable.
    const std::vector<std::pair<std::string, std::vector<Bytes>>> lists = {
        {"banner", {}},
        {"specials-a", {specialsRow(sgl, {0, 1, 2, 3, 4, 5, 6, 7})}},
        {"specials-b", {specialsRow(sgl, {8, 9, 10, 11, 12, 13, 14, 15})}},
        {"specials-c", {specialsRow(sgl, {16, 17, 18, 19, 20, 21, 22, 23})}},
        {"specials-d", {specialsRow(sgl, {24, 25, 26, 27, 28, 29, 30, 31})}},
        {"dspecials-a", {specialsRow(dbl, {0, 1, 2, 3, 4, 5, 6, 7})}},
        {"dspecials-b", {specialsRow(dbl, {8, 9, 10, 11, 12, 13, 14, 15})}},
        {"dspecials-c", {specialsRow(dbl, {16, 17, 18, 19, 20, 21, 22, 23})}},
        {"dspecials-d", {specialsRow(dbl, {24, 25, 26, 27, 28, 29, 30, 31})}},
        {"complex", {specialsRow(sgl, {0, 4, 6, 9, 12, 16, 20, 26}, true)}},
        {"dcomplex", {specialsRow(dbl, {0, 4, 6, 9, 12, 16, 20, 26}, true)}},
        {"signalling-nan", {special(sgl, 9)}},
        {"dsignalling-nan", {special(dbl, 9)}},
        {"nd", {kind(sgl, nd) + Bytes{1, 3, 2, 3, 1} + Bytes(18, 0x81)}},
        {"huge-empty", {kind(sgl, huge) + Bytes{1}}},
        {"dhuge-empty", {kind(dbl, huge) + Bytes{8 + 6}}},
        {"empty", {kind(sgl, empty) + Bytes{2}}},
        {"sparse", {kind(sparse, matrix) + Bytes{2, 2, 1, 2}}},
        {"cell", {kind(cell, matrix) + Bytes{1, 2, 1} + special(sgl, 2) + Bytes{0}}},
        {"struct", {kind(structure, scalar) + Bytes{1}}},
        {"int64", {kind(int64, row) + Bytes{3, 1, 2, 3}}},
        {"char", {kind(character, row) + Bytes{2, 'A', 0, 'B', 0}}},
        {"logical", {kind(logical, column) + Bytes{3, 1, 0, 1}}},
        {"two", {specialsRow(sgl, {2, 18, 4}), special(sgl, 20)}},
        {"two-double", {special(dbl, 23), specialsRow(dbl, {2, 26, 24})}},
        {"two-mismatch", {kind(sgl, matrix) + Bytes{2, 3} + Bytes(6, 2), kind(sgl, matrix) + Bytes{3, 2} + Bytes(6, 3)}},
        {"two-sparse", {special(sgl, 2), kind(sparse, scalar) + Bytes{1, 2}}},
        {"two-int", {kind(int8, matrix) + Bytes{2, 2, 1, 2, 3, 0}, kind(uint64, scalar) + Bytes{1}}},
        {"sizes-huge", {special(dbl, 21), special(dbl, 21)}},
        {"sizes-oom", {special(dbl, 24), special(dbl, 24)}},
        {"sizes-vector", {specialsRow(dbl, {26, 27, 18})}},
        {"sizes-nonscalar", {special(dbl, 26), specialsRow(dbl, {27, 26})}},
        {"three", {special(sgl, 2), special(sgl, 3), special(dbl, 26)}},
        {"four", {special(sgl, 2), special(sgl, 3), special(dbl, 26), kind(cell, empty)}},
    };
    int written = 0;
    for (std::size_t d = 0; d < list.size(); ++d) {
        for (std::size_t l = 0; l < lists.size(); ++l) {
            const auto& [name, args] = lists[l];
            // nlhs varies with the list, and one list in three runs with
            // buffers 8 bytes off and inputs at odd offsets under a caller's
            // mode of its own.
            const std::uint8_t nlhs = std::uint8_t(l % 4 == 3 ? (l / 4) % 4 : (l % 3 == 0 ? 2 : 1));
            const bool odd = l % 3 == 2;
            Bytes bytes{std::uint8_t(d), std::uint8_t(nlhs | (args.size() << 2) | (odd ? 0x80 : 0)),
                        std::uint8_t(odd ? ((l % 15) + 1) | ((l % 16) << 4) : 0)};
            for (const Bytes& arg : args)
                bytes = bytes + arg;
            std::string file = list[d].setAndName + "-" + name;
            for (char& c : file)
                if (c == '/')
                    c = '-';
            write(dir, file, bytes);
            ++written;
        }
    }
    std::printf("%d seeds written to %s\n", written, dir.c_str());
    return 0;
}
