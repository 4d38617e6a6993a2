// Octave values as the native host's arrays, and back.
#pragma once

#include "host_array.h"

#include <octave/ov.h>

namespace fpmex::octave_host {

// An array of the current call that shows `value`: real data in place,
// complex data split into two buffers, characters widened to MATLAB's
// 16-bit units.
mxArray_tag* wrapValue(const octave_value& value);

// The Octave value of an array. For an output (takeBuffers), a buffer the
// call allocated becomes the Octave array's own storage; otherwise, and for
// complex data, which Octave keeps interleaved, the elements are copied.
octave_value valueOf(mxArray_tag* array, bool takeBuffers);

} // namespace fpmex::octave_host
