// The symbol Octave looks up in NAME.oct: G followed by the function's name.
// The build defines FPMEX_OCTAVE_INSTALLER (Glog2, say), FPMEX_FUNCTION_NAME,
// FPMEX_DESCRIPTION and the set.
#include "install.h"

#if defined(FPMEX_SET_SINGLE)
#define FPMEX_CLASS_NAME "single"
#elif defined(FPMEX_SET_DOUBLE)
#define FPMEX_CLASS_NAME "double"
#endif

extern "C" __attribute__((visibility("default"))) octave_function*
FPMEX_OCTAVE_INSTALLER(const octave::dynamic_library& library, bool relative)
{
    return fpmex::octave_host::installMethod(library, relative, FPMEX_FUNCTION_NAME, FPMEX_DESCRIPTION,
                                             FPMEX_CLASS_NAME);
}
