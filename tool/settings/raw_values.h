// Values given by key number: the [keys] escape hatch and the wide-string tables. A
// value is a string, or { hex = "..." } for stored bytes that no text can give.
#pragma once

#include <string>
#include <string_view>

#include <toml++/toml.h>

#include "tool/text/code_page.h"

namespace kestro::tool {

std::string toHex(std::string_view bytes);

// The bytes of a byte-string entry. Throws SettingError.
std::string rawBytes(const toml::node& value, CodePage cp);

// The text of a wide entry. Throws SettingError.
std::u16string rawWide(const toml::node& value);

// The key of a [keys] or wide-table entry. Throws SettingError.
int32_t rawKey(std::string_view name);

}  // namespace kestro::tool
