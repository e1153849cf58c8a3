// Configuration text that the TOML library of Debian 12 (toml++ 3.3.0) cannot be
// trusted with, found before its parser sees it. That parser reaches a point it marks
// unreachable (undefined behaviour) on some characters outside the ASCII range where
// it tests for white space, and fails assertions (unchecked in release builds, where
// the parser goes on assuming them) on a table header without a name such as "[=", on
// an array element that begins with "}", and on a date followed by a space and a lone
// digit or by a "T" and no digit. (Later releases mend the first two.)
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestro::tool {

struct TomlHazard {
    size_t line;  // counted from 1
    std::string message;
};

// The first place in `text` where the parser would not report an error safely: a
// character outside the ASCII range that is not inside quotes or a comment (never
// valid TOML), one right after a backslash in a multi-line basic string, or at the
// start of the text that a line-ending backslash continues (valid TOML, but it reaches
// the same fault); a "[" that opens a table header with something other than a name;
// a "}" where an array expects an element; a date, a space and a lone digit; a date, a
// "T" and no digit. Nothing
// for every other text, valid or not: the parser reports the rest.
std::optional<TomlHazard> findParserHazard(std::string_view text);

}  // namespace kestro::tool
