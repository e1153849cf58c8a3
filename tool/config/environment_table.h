// [environment]: variables the launcher sets in its own process before the VM starts,
// stored under one key as "NAME=value" lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <toml++/toml.h>

#include "tool/text/code_page.h"

namespace kestro::tool {

// The section's name in a configuration file.
inline constexpr std::string_view kEnvironmentSection = "environment";

// A name Windows takes as a variable's: not empty, no "=" (which ends the name in the
// environment block) and no control character (a line feed ends an entry in the block
// the tool writes). Throws SettingError saying what is wrong.
void checkEnvironmentName(std::string_view name);

// The stored text of the table, entries in the table's order, "\n" between them.
// Throws SettingError pointing at the entry at fault.
std::string encodeEnvironment(const toml::table& table, CodePage cp);

// The table back from its stored text, when that text encodes back exactly.
std::optional<toml::table> decodeEnvironment(std::string_view bytes, CodePage cp);

}  // namespace kestro::tool
