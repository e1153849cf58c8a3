// The runtime search list (key 128) as a TOML list. Each entry is "registry",
// "search-path", or a table with one of relative_directory, any_directory, directory
// or variable; stored as a kind letter and a value, entries joined with ";".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <toml++/toml.h>

namespace kestro::tool {

// Throws SettingError for a malformed entry.
std::string encodeSearchList(const toml::node& value);

// The readable list for a stored text; nothing when an entry has no readable form.
std::optional<toml::array> decodeSearchList(std::string_view text);

}  // namespace kestro::tool
