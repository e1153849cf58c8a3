// Writing TOML text by hand, so that a printed configuration keeps the order and the
// compact inline forms a person would write.
#pragma once

#include <string>
#include <string_view>

#include <toml++/toml.h>

namespace kestro::tool {

// A basic string; control characters and quotes escaped.
std::string tomlString(std::string_view utf8);

// A key: bare when TOML allows it, quoted otherwise.
std::string tomlKey(std::string_view key);

// Strings, integers, booleans, lists and inline tables on one line.
std::string tomlInline(const toml::node& value);

}  // namespace kestro::tool
