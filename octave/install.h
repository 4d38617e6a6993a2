// What a deliverable's .oct file gives Octave when Octave loads it: its
// function, as a class method of its set's class. Declared with Octave's
// types only named, so that the one file compiled for each deliverable
// (installer.cpp) needs none of Octave's headers.
#pragma once

class octave_function;

namespace octave {
class dynamic_library;
}

namespace fpmex::octave_host {

octave_function* installMethod(const octave::dynamic_library& library, bool relative, const char* name,
                               const char* description, const char* className);

} // namespace fpmex::octave_host
