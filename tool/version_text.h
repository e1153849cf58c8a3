// Java version texts as the version bounds give them ("1.8", "17.0.2", "1.8.0_202").
#pragma once

#include <string_view>

namespace kestro::tool {

// A version text: segments of ASCII letters and digits separated by single ".", "_",
// "-" or "+", the first segment all digits.
bool isVersionText(std::string_view text);

// Orders a version against a bound the way the launcher applies bounds: both split
// into segments at ".", "_", "-" and "+"; segments of digits compare as numbers, others
// byte by byte; only as many segments as the bound has take part, and a version that
// runs out of segments first is the lower. Negative, zero or positive.
int compareVersionToBound(std::string_view version, std::string_view bound);

}  // namespace kestro::tool
