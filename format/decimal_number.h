// How the launcher reads an integer setting, which the build tool must read alike.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestro {

// `text` read as a decimal number: leading white space, an optional sign and digits; the
// first other character ends it. No digits give 0; values beyond the 32-bit range give
// the nearest 32-bit limit.
int32_t parseDecimalInt(std::string_view text);

}  // namespace kestro
