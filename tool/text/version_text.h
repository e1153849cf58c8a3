// Java version texts as the version bounds give them ("1.8", "17.0.2", "1.8.0_202").
#pragma once

#include <string_view>

namespace kestro::tool {

// A version text: segments of ASCII letters and digits separated by single ".", "_",
// "-" or "+", the first segment all digits.
bool isVersionText(std::string_view text);

}  // namespace kestro::tool
