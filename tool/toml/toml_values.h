// Typed access to TOML values with one error text per mismatch.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <toml++/toml.h>

namespace kestro::tool {

// "a string", "an integer", "a table", ...
std::string_view describeType(const toml::node& node);

// Each throws SettingError ("expected a boolean, got a string") on a mismatch.
const std::string& requireString(const toml::node& node);
bool requireBool(const toml::node& node);
int32_t requireInt32(const toml::node& node);
const toml::array& requireArray(const toml::node& node);

// The strings of a list; an error names the element's position.
std::vector<std::string> requireStringList(const toml::node& node);

// Splits at every separator, keeping empty items (so that joining gives the text back).
std::vector<std::string> splitKeepingEmpty(std::string_view text, char separator = ';');

// The entries of a TOML list, each encoded with the entry's path ("[0]", "[1]", ...),
// joined with ";".
std::string encodeListEntries(const toml::node& value,
                              const std::function<std::string(const toml::node&, const std::string&)>& encode);

// An item of a ";"-separated list: not empty and free of the separator.
void checkListItem(const std::string& item, std::string_view what, const toml::node& where, const std::string& path);

// Decimal text that a stored integer uses: no sign for zero or positives, no leading
// zeros; nothing for anything else or values beyond 32 bits.
std::optional<int32_t> parseCanonicalInt(std::string_view text);

// For list entries written as { kind = value }: the one key of `table` among `kinds`
// (its index and value). Keys in `extras` may appear besides it; any other key, none
// or two of `kinds` throw SettingError.
struct ChosenKind {
    size_t index;
    const toml::node* value;
};
ChosenKind chooseKind(const toml::table& table, std::span<const std::string_view> kinds,
                      std::span<const std::string_view> extras, const std::string& path);

}  // namespace kestro::tool
