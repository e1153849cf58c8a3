#include "tool/config/defaults_merge.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

#include "format/native_file.h"
#include "tool/config/included_names.h"
#include "tool/config/settings_table.h"
#include "tool/settings/raw_values.h"
#include "tool/settings/setting_error.h"
#include "tool/toml/toml_writer.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

// Places whose lists gather entries from both files rather than being one value.
constexpr std::array<std::string_view, 5> kGatheringLists{"files", "resources", "classpath.entries", "package.files",
                                                          "package.file_associations"};

// Settings that name a file on the build machine, by their place; "[]" for a key of
// each entry of a list.
constexpr std::array<std::string_view, 9> kPathSettings{
    "splash.image",  "icon.file",  "manifest.file", "package.runtime", "signing.certificate",
    "files[].source", "resources[].file", "package.files[].source", "package.file_associations[].icon"};

// The user's version information replaces the project's: a file that names its product
// means to.
bool quietPlace(std::string_view place) { return place.starts_with("version."); }

bool same(const toml::node& a, const toml::node& b) {
    if (a.type() != b.type()) return false;
    return a.visit([&b](const auto& x) {
        using T = std::remove_cvref_t<decltype(x)>;
        return x == static_cast<const T&>(b);
    });
}

size_t lineOf(const toml::node& node) { return node.source().begin.line; }

class Merger {
public:
    Merger(toml::table& user, const fs::path& userFile, const fs::path& defaultsFile)
        : user_(user), userFile_(format::pathText(userFile)), defaultsFile_(format::pathText(defaultsFile)),
          base_(fs::absolute(defaultsFile).parent_path()) {}

    void table(toml::table& user, toml::table& defaults, const std::string& place) {
        for (auto&& [key, value] : defaults) {
            std::string name = place.empty() ? std::string(key.str()) : place + "." + std::string(key.str());
            toml::node* own = user.get(key.str());
            if (!own) {
                if (ownedThroughOtherName(place, key.str(), value, name)) continue;
                if (value.is_table() && place.empty()) {
                    toml::table& group = *value.as_table();
                    for (auto it = group.begin(); it != group.end();)
                        it = ownedThroughOtherName(name, it->first.str(), it->second, name + "." + std::string(it->first.str()))
                                 ? group.erase(it)
                                 : std::next(it);
                    if (group.empty()) continue;
                }
                anchor(value, name);
                user.insert(key.str(), std::move(value));
            } else if (own->is_table() && value.is_table()) {
                const toml::node* generate = own->as_table()->get("generate");
                if (generate && generate->value<bool>() == false) continue;
                table(*own->as_table(), *value.as_table(), name);
            } else if (own->is_array() && value.is_array() && std::ranges::find(kGatheringLists, name) != kGatheringLists.end()) {
                gather(*own->as_array(), *value.as_array(), name);
            } else if (!same(*own, value) && !quietPlace(name)) {
                conflict(*own, name + " = " + tomlInline(*own), value, name);
            }
        }
    }

    std::vector<std::pair<size_t, std::string>> warnings;

private:
    // The user's line, what it sets, and the defaults' setting it takes the place of.
    void conflict(const toml::node& own, const std::string& what, const toml::node& theirs, const std::string& name) {
        warnings.push_back({lineOf(own), userFile_ + ":" + std::to_string(lineOf(own)) + ": warning: " + what +
                                             " wins over " + name + " = " + tomlInline(theirs) + " of " +
                                             defaultsFile_ + ":" + std::to_string(lineOf(theirs))});
    }

    // A setting of the defaults whose key the user's file sets under another name: its
    // former name, or [keys].
    bool ownedThroughOtherName(const std::string& group, std::string_view key, const toml::node& value,
                               const std::string& name) {
        const Setting* setting = findSetting(group, key);
        if (!setting) return false;
        for (auto&& [ownGroup, ownTable] : user_) {
            if (!ownTable.is_table()) continue;
            for (auto&& [ownKey, ownValue] : *ownTable.as_table()) {
                const FormerName* former = findFormerName(ownGroup.str(), ownKey.str());
                if (!former || former->key != setting->key) continue;
                if (!same(ownValue, value)) conflict(ownValue, former->fullName() + " = " + tomlInline(ownValue), value, name);
                return true;
            }
        }
        if (const toml::table* keys = user_.get("keys") ? user_.get("keys")->as_table() : nullptr)
            for (auto&& [ownKey, ownValue] : *keys) {
                try {
                    if (rawKey(ownKey.str()) != setting->key) continue;
                } catch (const SettingError&) {
                    continue;  // the loader reports it
                }
                if (!same(ownValue, value))
                    conflict(ownValue, "keys." + std::string(ownKey.str()) + " = " + tomlInline(ownValue), value, name);
                return true;
            }
        return false;
    }

    // The defaults' entries after the user's; an included file whose name the user's file
    // takes stays out. Entries both lists have are kept once.
    void gather(toml::array& own, toml::array& theirs, const std::string& name) {
        for (toml::node& entry : theirs) {
            if (std::ranges::any_of(own, [&](const toml::node& e) { return same(e, entry); })) continue;
            if (name == "files") {
                std::optional<std::string> target = includedName(entry);
                auto taken = std::ranges::find_if(own, [&](const toml::node& e) { return target && includedName(e) == target; });
                if (taken != own.end()) {
                    const toml::node* source = entry.as_table()->get("source");
                    warnings.push_back({lineOf(*taken), userFile_ + ":" + std::to_string(lineOf(*taken)) +
                                                            ": warning: the included file \"" + writtenName(*taken).value_or("") +
                                                            "\" takes the place of " +
                                                            (source ? tomlInline(*source) : tomlInline(entry)) + " of " +
                                                            defaultsFile_ + ":" + std::to_string(lineOf(entry)) +
                                                            ", which would be included under the same name"});
                    continue;
                }
            }
            anchor(entry, name + "[]");
            own.push_back(std::move(entry));
        }
    }

    // An included file's name as the entry gives it: its name, else its source's.
    static std::optional<std::string> writtenName(const toml::node& entry) {
        const toml::table* file = entry.as_table();
        if (!file) return std::nullopt;
        std::optional<std::string> name = file->get("name") ? file->get("name")->value<std::string>() : std::nullopt;
        if (!name && file->get("source"))
            if (auto source = file->get("source")->value<std::string>())
                name = format::pathText(format::pathFromUtf8(*source).filename());
        return name;
    }

    // Where an included file goes, folded as Windows compares names; nothing for an entry
    // the loader will refuse.
    static std::optional<std::string> includedName(const toml::node& entry) {
        std::optional<std::string> name = writtenName(entry);
        if (!name) return std::nullopt;
        try {
            return foldedName(normaliseIncludedName(*name));
        } catch (const SettingError&) {
            return std::nullopt;
        }
    }

    // Makes the relative paths below `node` (at `place`) absolute, from the defaults file's
    // directory: the loader takes relative paths from the user's file's.
    void anchor(toml::node& node, const std::string& place) {
        if (auto* string = node.as_string()) {
            if (std::ranges::find(kPathSettings, place) == kPathSettings.end() || string->get().empty()) return;
            fs::path path = format::pathFromUtf8(string->get());
            if (path.is_relative()) *string = format::pathText((base_ / path).lexically_normal());
        } else if (auto* table = node.as_table()) {
            for (auto&& [key, value] : *table) anchor(value, place + "." + std::string(key.str()));
        } else if (auto* array = node.as_array()) {
            bool listOfTables = std::ranges::find(kGatheringLists, place) != kGatheringLists.end();
            for (toml::node& element : *array) anchor(element, listOfTables ? place + "[]" : place);
        }
    }

    toml::table& user_;
    std::string userFile_, defaultsFile_;
    fs::path base_;
};

}  // namespace

std::vector<std::string> mergeDefaults(toml::table& user, toml::table& defaults, const fs::path& userFile,
                                       const fs::path& defaultsFile) {
    Merger merger(user, userFile, defaultsFile);
    merger.table(user, defaults, "");
    std::ranges::stable_sort(merger.warnings, {}, &std::pair<size_t, std::string>::first);
    std::vector<std::string> lines;
    for (auto& [line, text] : merger.warnings) lines.push_back(std::move(text));
    return lines;
}

}  // namespace kestro::tool
