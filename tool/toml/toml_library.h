// The TOML library's internal checks, made errors: the build compiles the library's
// parser once, into the tool, with each of its internal assertions throwing
// TomlReaderFault instead of being assumed to hold (which leaves the parser's behaviour
// undefined on an input that breaks one).
#pragma once

#include <stdexcept>
#include <string>

namespace kestro::tool {

class TomlReaderFault : public std::logic_error {
    using std::logic_error::logic_error;
};

[[noreturn]] void tomlCheckFailed(const char* check);

}  // namespace kestro::tool
