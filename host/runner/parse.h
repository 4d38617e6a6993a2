// MATLAB expressions for arguments: what the runner and the tests accept to
// describe input arrays exactly (classes, complex parts, N-d and empty
// shapes, special values and exact bit patterns).
#pragma once

#include "fpmex_host.h"

#include <string>

namespace fpmex::runner {

// Parses one expression into a new array owned by the caller. Throws
// std::invalid_argument with a message that quotes the offending text.
host::Array parseArgument(const std::string& expression);

} // namespace fpmex::runner
