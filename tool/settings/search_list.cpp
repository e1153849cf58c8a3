#include "tool/settings/search_list.h"

#include <array>

#include "tool/settings/setting_error.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace {

// Entries without a value, written as plain words.
constexpr std::array<std::pair<std::string_view, char>, 2> kWords{{{"registry", 'Y'}, {"search-path", 'S'}}};

// Entries with a value, written as { name = value }.
constexpr std::array<std::string_view, 4> kValueKinds{"relative_directory", "any_directory", "directory", "variable"};
constexpr std::array<char, 4> kValueLetters{'R', 'B', 'A', 'E'};

std::string encodeEntry(const toml::node& entry, const std::string& path) {
    if (auto word = entry.as_string()) {
        for (auto [name, letter] : kWords)
            if (word->get() == name) return std::string(1, letter);
        throw SettingError("unknown search entry \"" + word->get() +
                               "\" (expected \"registry\", \"search-path\" or a table such as "
                               "{ relative_directory = \"jre\" })",
                           &entry, path);
    }
    if (!entry.is_table())
        throw SettingError("expected a string or a table, got " + std::string(describeType(entry)), &entry, path);
    ChosenKind chosen = chooseKind(*entry.as_table(), kValueKinds, {}, path);
    std::string itemPath = path + "." + std::string(kValueKinds[chosen.index]);
    std::string value;
    try {
        value = requireString(*chosen.value);
    } catch (const SettingError& e) {
        throw SettingError(e.what(), chosen.value, itemPath);
    }
    checkListItem(value, "the value", *chosen.value, itemPath);
    return kValueLetters[chosen.index] + value;
}

}  // namespace

std::string encodeSearchList(const toml::node& value) { return encodeListEntries(value, encodeEntry); }

std::optional<toml::array> decodeSearchList(std::string_view text) {
    toml::array list;
    for (const std::string& item : splitKeepingEmpty(text)) {
        if (item.empty()) return std::nullopt;
        std::string value = item.substr(1);
        bool matched = false;
        for (auto [name, letter] : kWords)
            if (item[0] == letter && value.empty()) {
                list.push_back(name);
                matched = true;
            }
        for (size_t k = 0; k < kValueLetters.size() && !matched; ++k)
            if (item[0] == kValueLetters[k] && !value.empty()) {
                list.push_back(toml::table{{kValueKinds[k], value}});
                matched = true;
            }
        if (!matched) return std::nullopt;
    }
    return list;
}

}  // namespace kestro::tool
