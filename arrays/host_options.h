// The options of the hosts' own ones and prod: class names and 'like' for
// ones, output types for prod. They reach our files through class dispatch
// (ones(2, single(3), 'like', p), prod(single(x), 'native')) and through a
// flat folder in Octave, and are the host's business: the call goes to the
// host's own function, so they are never read as sizes or dimensions.
#pragma once

#include "common/host_adapter.h"

#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace fpmex {

using Words = std::initializer_list<const char*>;

inline constexpr Words onesOptions = {"double", "single", "logical", "int8",   "uint8", "int16",
                                      "uint16", "int32",  "uint32",  "int64", "uint64", "like"};
inline constexpr Words prodOptions = {"native", "double", "default"};

// True when the argument is a row of characters spelling one of the words
// (lower case letters and digits) in any case; what the host then accepts
// is the host's to say.
inline bool spellsOneOf(const mxArray* argument, Words words)
{
    if (!mxIsChar(argument) || mxGetNumberOfDimensions(argument) != 2 || mxGetM(argument) != 1)
        return false;
    const std::size_t length = mxGetNumberOfElements(argument);
    const mxChar* units = mxGetChars(argument);
    for (const char* word : words) {
        bool same = std::strlen(word) == length;
        for (std::size_t i = 0; same && i < length; ++i) {
            const char upper = word[i] >= 'a' && word[i] <= 'z' ? static_cast<char>(word[i] - 'a' + 'A') : word[i];
            same = units[i] == static_cast<mxChar>(word[i]) || units[i] == static_cast<mxChar>(upper);
        }
        if (same)
            return true;
    }
    return false;
}

inline bool hasOption(int nrhs, const mxArray* prhs[], Words words)
{
    for (int i = 0; i < nrhs; ++i) {
        if (spellsOneOf(prhs[i], words))
            return true;
    }
    return false;
}

} // namespace fpmex
