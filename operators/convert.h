// Conversion of plus and lt operands of other classes to single, with the
// element converters of convert_kernels.h.
#pragma once

#include "common/host_adapter.h"

namespace fpmex::operators {

// A new single array with the source's sizes, both parts converted; an empty
// source of any class gives an empty copy without buffers. Ends the call
// with "Wrong data type." for a class that has no converter, and with
// "Sparse operands are not supported." for a sparse source. The copy is a
// temporary that the host releases when the call returns.
mxArray* convertToSingle(const mxArray* source);

} // namespace fpmex::operators
