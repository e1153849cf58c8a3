// The kind of program a launcher is to Windows: windowed or console. It lives in the
// executable's header, not in the configuration block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "format/block_format.h"

namespace kestro::tool {

// "gui" (2) or "console" (3), the names build.subsystem takes, in any letter case; none
// for other values.
std::optional<uint16_t> subsystemByName(std::string_view name);
std::optional<std::string_view> subsystemName(uint16_t subsystem);

// The subsystem a launcher gets when the configuration names none: console for the
// application type "console" (key 107 read as the launcher reads it, its last entry
// deciding, equal to 2), windowed for every other block.
uint16_t defaultSubsystem(const format::BlockHead& head);

}  // namespace kestro::tool
