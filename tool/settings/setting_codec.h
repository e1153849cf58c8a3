// Between a readable setting's TOML value and the bytes stored under its key.
#pragma once

#include <string>
#include <string_view>

#include <toml++/toml.h>

#include "tool/config/settings_table.h"
#include "tool/text/code_page.h"

namespace kestro::tool {

// The stored bytes for `value`. Throws SettingError when the value has the wrong type
// or form, or a text the launcher would not read back whole.
std::string encodeSetting(const Setting& setting, const toml::node& value, CodePage cp);

// Puts the readable value of stored `bytes` into `group` under the setting's name,
// preferring the most structured form, but only one that encodes back to exactly these
// bytes. Returns false (leaving `group` alone) when there is none.
bool decodeSetting(const Setting& setting, std::string_view bytes, CodePage cp, toml::table& group);

}  // namespace kestro::tool
