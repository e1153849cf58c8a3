#include "tool/settings/class_path.h"

#include <algorithm>
#include <array>

#include "tool/settings/setting_error.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace {

constexpr std::array<std::string_view, 4> kKinds{"archive", "directory", "variable", "scan"};
constexpr std::array<char, 4> kLetters{'A', 'D', 'E', 'S'};
constexpr std::array<std::string_view, 1> kExtras{"mandatory"};

// Entries are joined with ";", so no name may hold one or be empty. A variable's name
// cannot hold "=" (the environment splits there); no Windows path holds a double quote,
// so one in a path is almost surely an attempt to quote spaces, which the class path
// takes literally.
void checkName(char letter, const std::string& name, const toml::node& where, const std::string& path) {
    checkListItem(name, letter == 'E' ? "the variable's name" : "the path", where, path);
    if (letter == 'E' && name.find('=') != std::string::npos)
        throw SettingError("the variable's name contains '=', which no environment variable's name holds: " + name,
                           &where, path);
    if (letter != 'E' && name.find('"') != std::string::npos)
        throw SettingError("the path contains '\"', which no Windows path holds; a path with spaces needs no quotes "
                           "here: " + name,
                           &where, path);
}

std::string encodeEntry(const toml::node& entry, const std::string& path) {
    if (!entry.is_table())
        throw SettingError("expected a table such as { archive = \"app.jar\" }, got " +
                               std::string(describeType(entry)),
                           &entry, path);
    const toml::table& table = *entry.as_table();
    ChosenKind chosen = chooseKind(table, kKinds, kExtras, path);
    std::string itemPath = path + "." + std::string(kKinds[chosen.index]);
    std::string name;
    bool mandatory = true;  // a listed entry is expected to be there
    try {
        name = requireString(*chosen.value);
        if (auto flag = table.get("mandatory")) {
            itemPath = path + ".mandatory";
            mandatory = requireBool(*flag);
        }
    } catch (const SettingError& e) {
        throw SettingError(e.what(), e.where(), itemPath);
    }
    checkName(kLetters[chosen.index], name, *chosen.value, path + "." + std::string(kKinds[chosen.index]));
    return std::string{kLetters[chosen.index], mandatory ? '1' : '0'} + name;
}

}  // namespace

std::string subfolderArchiveEntries(const std::vector<std::string>& includedNames) {
    auto folded = [](std::string_view text) {
        std::string out(text);
        for (char& c : out) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        return out;
    };
    std::string entries;
    for (const std::string& name : includedNames) {
        size_t separator = name.find('\\');
        if (separator == std::string::npos || folded(name.substr(0, separator)) == "user") continue;
        std::string extension = folded(name.substr(name.size() - std::min<size_t>(name.size(), 4)));
        if (extension != ".jar" && extension != ".zip") continue;
        entries += (entries.empty() ? "A0" : ";A0") + std::string(kTempDirReference) + name;
    }
    return entries;
}

std::string encodeClassPath(const toml::node& value) { return encodeListEntries(value, encodeEntry); }

std::optional<toml::array> decodeClassPath(std::string_view text) {
    toml::array list;
    for (const std::string& item : splitKeepingEmpty(text)) {
        if (item.size() < 3 || (item[1] != '0' && item[1] != '1')) return std::nullopt;
        auto letter = std::ranges::find(kLetters, item[0]);
        if (letter == kLetters.end()) return std::nullopt;
        toml::table entry{{kKinds[size_t(letter - kLetters.begin())], item.substr(2)}};
        if (item[1] == '0') entry.insert("mandatory", false);
        list.push_back(std::move(entry));
    }
    return list;
}

std::vector<std::pair<size_t, size_t>> archivesAlsoScanned(std::string_view stored) {
    // The directory as the comparison sees it: lower case, "\" only, no "." segments.
    auto canonical = [](std::string_view path) {
        std::string out;
        for (const std::string& segment : splitKeepingEmpty(path, '\\')) {
            if (segment == "." || (segment.empty() && !out.empty())) continue;
            out += (out.empty() ? "" : "\\") + segment;
        }
        for (char& c : out) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        return out;
    };
    std::vector<std::string> entries = splitKeepingEmpty(stored);
    std::vector<std::pair<size_t, size_t>> found;
    for (size_t a = 0; a < entries.size(); ++a) {
        std::string archive = entries[a].size() > 2 && entries[a][0] == 'A' ? entries[a].substr(2) : "";
        std::ranges::replace(archive, '/', '\\');
        size_t slash = archive.rfind('\\');
        std::string extension = canonical(archive.substr(archive.size() - std::min<size_t>(archive.size(), 4)));
        if (extension != ".jar" && extension != ".zip") continue;
        std::string directory = canonical(slash == std::string::npos ? "" : archive.substr(0, slash));
        for (size_t s = 0; s < entries.size(); ++s) {
            if (entries[s].size() < 2 || entries[s][0] != 'S') continue;
            std::string scanned = entries[s].substr(2);
            std::ranges::replace(scanned, '/', '\\');
            if (canonical(scanned) == directory) found.emplace_back(a, s);
        }
    }
    return found;
}

}  // namespace kestro::tool
