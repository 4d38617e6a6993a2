// Results shown the way MATLAB's command window shows them (the class and
// size line for anything but a non-empty double), or as exact bit patterns.
#pragma once

#include "fpmex_host.h"

#include <string>

namespace fpmex::runner {

std::string display(const std::string& name, const mxArray* array, bool hex);

// The shortest decimal text that reads back as the same value.
std::string shortest(double value, bool singlePrecision);

} // namespace fpmex::runner
