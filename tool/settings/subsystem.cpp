#include "tool/settings/subsystem.h"

#include <string>

#include "format/config_keys.h"
#include "format/decimal_number.h"
#include "format/pe_layout.h"

namespace kestro::tool {

namespace {

constexpr int32_t kConsoleApplication = 2;

}  // namespace

std::optional<uint16_t> subsystemByName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    if (folded == "gui") return format::kSubsystemWindowsGui;
    if (folded == "console") return format::kSubsystemWindowsCui;
    return std::nullopt;
}

std::optional<std::string_view> subsystemName(uint16_t subsystem) {
    if (subsystem == format::kSubsystemWindowsGui) return "gui";
    if (subsystem == format::kSubsystemWindowsCui) return "console";
    return std::nullopt;
}

uint16_t defaultSubsystem(const format::BlockHead& head) {
    std::string_view type;
    for (const auto& entry : head.strings)
        if (entry.key == key::ApplicationType) type = entry.value;
    type = type.substr(0, type.find('\0'));  // the launcher reads up to the first zero byte
    return parseDecimalInt(type) == kConsoleApplication ? format::kSubsystemWindowsCui : format::kSubsystemWindowsGui;
}

}  // namespace kestro::tool
