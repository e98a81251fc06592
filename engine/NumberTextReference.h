#pragma once
// The first number formatter of the program, kept as the yardstick of the
// fast one in NumberText.h: it reads the exact decimal expansion of the value
// from snprintf and rounds on those digits, which is obviously right but costs
// microseconds. Tests and benchmarks only; the program uses NumberText.h.

#include <string>
#include <string_view>

namespace velumo {

// Same contract as formatGeneral.
std::string formatGeneralReference(double value);

// Same contract as formatPattern.
std::string formatPatternReference(double value, std::string_view pattern);

} // namespace velumo
