// The class path (key 121) as a TOML list of tables: { archive | directory | variable |
// scan = name, mandatory = bool }. Stored as a type letter, a flag digit and the name,
// entries joined with ";".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <toml++/toml.h>

namespace kestro::tool {

// Throws SettingError for a malformed entry.
std::string encodeClassPath(const toml::node& value);

// The readable list for a stored text; nothing when an entry has no readable form.
std::optional<toml::array> decodeClassPath(std::string_view text);

}  // namespace kestro::tool
