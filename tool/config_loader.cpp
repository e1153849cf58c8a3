#include "tool/config_loader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include <toml++/toml.h>

#include "format/config_keys.h"
#include "tool/code_page.h"
#include "tool/included_names.h"
#include "tool/raw_values.h"
#include "tool/setting_codec.h"
#include "tool/setting_error.h"
#include "tool/settings_table.h"
#include "tool/toml_guard.h"
#include "tool/toml_values.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

// Who set a stored key, for the message when two settings claim it.
struct Origin {
    std::string setting;
    size_t line;
};

class Loader {
public:
    Loader(const toml::table& doc, const fs::path& file) : doc_(doc), file_(file) {}

    BuildPlan load() {
        loadBuildOptions();
        for (auto&& [key, value] : doc_) {
            std::string_view name = key.str();
            if (std::ranges::find(settingGroups(), name) != settingGroups().end()) loadGroup(name, value);
            else if (name != "build" && name != "keys" && name != "wide" && name != "locale" && name != "files")
                unknown(name, value);
        }
        // After the readable settings, so that a clash names the readable one.
        if (auto files = doc_.get("files")) loadFiles(*files);
        if (auto keys = doc_.get("keys")) loadRawKeys(*keys);
        if (auto wide = doc_.get("wide")) plan_.head.wides = loadWideTable(*wide, "wide");
        if (auto locales = doc_.get("locale")) loadLocaleSets(*locales);
        if (defaults_) addDefaults();
        if (!problems_.empty()) throw ConfigError(sortedProblems());
        for (auto& [key, value] : strings_) plan_.head.strings.push_back({key, std::move(value)});
        return std::move(plan_);
    }

private:
    void problem(const toml::node* where, const std::string& text) {
        size_t line = where ? where->source().begin.line : 0;
        problems_.push_back({line, file_.string() + (line ? ":" + std::to_string(line) : "") + ": " + text});
    }

    void problem(const toml::node& node, const std::string& setting, const SettingError& e) {
        problem(e.where() ? e.where() : &node, setting + e.path() + ": " + e.what());
    }
    void unknown(std::string_view name, const toml::node& value) {
        problem(&value, "unknown setting '" + std::string(name) + "'");
    }

    // In file order, whatever order the TOML tables were walked in.
    std::vector<std::string> sortedProblems() {
        std::ranges::stable_sort(problems_, {}, &std::pair<size_t, std::string>::first);
        std::vector<std::string> lines;
        for (auto& [line, text] : problems_) lines.push_back(std::move(text));
        return lines;
    }

    // Runs `body`, turning a SettingError into a problem of `setting`. Bodies take a
    // loop's structured bindings through init-captures (`&value = value`): clang before
    // version 16 cannot capture a structured binding itself.
    template <class F>
    void guarded(const toml::node& node, const std::string& setting, F&& body) {
        try {
            body();
        } catch (const SettingError& e) {
            problem(node, setting, e);
        }
    }

    const toml::table* table(const toml::node& node, const std::string& name) {
        if (auto t = node.as_table()) return t;
        problem(&node, name + ": expected a table, got " + std::string(describeType(node)));
        return nullptr;
    }

    void store(int32_t key, std::string bytes, std::string setting, const toml::node& where) {
        auto [it, fresh] = origins_.try_emplace(key, Origin{setting, where.source().begin.line});
        if (!fresh) {
            problem(&where, "key " + std::to_string(key) + " is set both by '" + it->second.setting + "' (line " +
                                std::to_string(it->second.line) + ") and by '" + setting + "'");
            return;
        }
        strings_[key] = std::move(bytes);
    }

    void loadBuildOptions() {
        const toml::node* node = doc_.get("build");
        const toml::table* build = node ? table(*node, "build") : nullptr;
        if (!build) return;
        for (auto&& [key, value] : *build) {
            std::string name = "build." + std::string(key.str());
            if (key.str() == "code_page") {
                guarded(value, name, [&, &value = value] {
                    std::string text = value.is_integer() ? std::to_string(value.as_integer()->get()) : requireString(value);
                    auto cp = codePageByName(text);
                    if (!cp) throw SettingError("expected \"windows-1252\" or \"utf-8\", got \"" + text + "\"", &value);
                    cp_ = *cp;
                });
            } else if (key.str() == "defaults") {
                guarded(value, name, [&, &value = value] { defaults_ = requireBool(value); });
            } else {
                unknown(name, value);
            }
        }
    }

    void loadGroup(std::string_view group, const toml::node& node) {
        const toml::table* settings = table(node, std::string(group));
        if (!settings) return;
        for (auto&& [key, value] : *settings) {
            std::string name = std::string(group) + "." + std::string(key.str());
            const Setting* setting = findSetting(group, key.str());
            if (!setting) {
                unknown(name, value);
                continue;
            }
            guarded(value, name,
                    [&, &value = value] { store(setting->key, encodeSetting(*setting, value, cp_), name, value); });
        }
    }

    void loadRawKeys(const toml::node& node) {
        const toml::table* keys = table(node, "keys");
        if (!keys) return;
        for (auto&& [key, value] : *keys) {
            std::string name = "keys.\"" + std::string(key.str()) + "\"";
            guarded(value, name,
                    [&, &key = key, &value = value] { store(rawKey(key.str()), rawBytes(value, cp_), name, value); });
        }
    }

    std::vector<format::WideEntry> loadWideTable(const toml::node& node, const std::string& name) {
        std::vector<format::WideEntry> entries;
        const toml::table* texts = table(node, name);
        if (!texts) return entries;
        for (auto&& [key, value] : *texts)
            guarded(value, name + ".\"" + std::string(key.str()) + "\"",
                    [&, &key = key, &value = value] { entries.push_back({rawKey(key.str()), rawWide(value)}); });
        // Sorted by number rather than by the TOML table's text order, so "9" precedes "10".
        std::ranges::sort(entries, {}, &format::WideEntry::key);
        return entries;
    }

    void loadLocaleSets(const toml::node& node) {
        if (!node.is_array()) {
            problem(&node, "locale: expected [[locale]] tables, got " + std::string(describeType(node)));
            return;
        }
        const toml::array& sets = *node.as_array();
        for (size_t i = 0; i < sets.size(); ++i) {
            std::string name = "locale[" + std::to_string(i) + "]";
            const toml::table* set = table(sets[i], name);
            if (!set) continue;
            format::LocaleSet locale;
            for (auto&& [key, value] : *set) {
                if (key.str() == "prefix")
                    guarded(value, name + ".prefix",
                            [&, &value = value] { locale.prefix = toCodePage(requireString(value), cp_); });
                else if (key.str() == "wide")
                    locale.entries = loadWideTable(value, name + ".wide");
                else
                    unknown(name + "." + std::string(key.str()), value);
            }
            if (!set->contains("prefix")) problem(set, name + ": a locale set needs a prefix such as \"de\"");
            plan_.head.localeSets.push_back(std::move(locale));
        }
    }

    void loadFiles(const toml::node& node) {
        if (!node.is_array()) {
            problem(&node, "files: expected [[files]] tables, got " + std::string(describeType(node)));
            return;
        }
        const toml::array& files = *node.as_array();
        std::map<std::string, size_t> seen;  // folded name → index
        std::string names;
        for (size_t i = 0; i < files.size(); ++i) {
            std::string name = "files[" + std::to_string(i) + "]";
            if (const toml::table* file = table(files[i], name)) {
                size_t before = problems_.size();
                format::IncludedFile included = loadFile(*file, name);
                if (problems_.size() != before) continue;
                auto [it, fresh] = seen.try_emplace(foldedName(included.name), i);
                if (!fresh) {
                    problem(file, name + ".name: \"" + included.name + "\" is already the name of files[" +
                                      std::to_string(it->second) + "]");
                    continue;
                }
                names += (names.empty() ? "" : ";") + included.name;
                plan_.files.push_back(std::move(included));
            }
        }
        if (files.empty()) return;
        store(key::IncludedCount, std::to_string(files.size()), "files", node);
        guarded(node, "files", [&] { store(key::IncludedNames, toCodePage(names, cp_), "files", node); });
    }

    format::IncludedFile loadFile(const toml::table& file, const std::string& name) {
        format::IncludedFile included;
        const toml::node* source = file.get("source");
        for (auto&& [key, value] : file)
            if (key.str() != "source" && key.str() != "name") unknown(name + "." + std::string(key.str()), value);
        if (!source) {
            problem(&file, name + ": an included file needs a source path");
            return included;
        }
        guarded(*source, name + ".source", [&] {
            const std::string& text = requireString(*source);
            included.source = file_.parent_path() / fs::path(text);
            std::error_code ec;
            if (!fs::is_regular_file(included.source, ec))
                throw SettingError("included file '" + text + "' not found" +
                                   (included.source == fs::path(text) ? "" : " (looked for " + included.source.string() + ")"));
        });
        const toml::node* given = file.get("name");
        guarded(given ? *given : *source, name + ".name", [&] {
            // Without a name the file lands at the top of the temporary directory.
            std::string text = given ? requireString(*given) : fs::path(requireString(*source)).filename().string();
            included.name = normaliseIncludedName(text);
        });
        return included;
    }

    void addDefaults() {
        for (const Setting& setting : allSettings())
            if (setting.defaultText && !strings_.contains(setting.key))
                strings_[setting.key] = toCodePage(*setting.defaultText, cp_);
    }

    const toml::table& doc_;
    fs::path file_;
    CodePage cp_ = CodePage::Windows1252;
    bool defaults_ = true;
    BuildPlan plan_;
    std::map<int32_t, std::string> strings_;  // sorted by key, as written
    std::map<int32_t, Origin> origins_;
    std::vector<std::pair<size_t, std::string>> problems_;  // line, message
};

}  // namespace

ConfigError::ConfigError(std::vector<std::string> problems)
    : std::runtime_error(joinLines(problems)), problems_(std::move(problems)) {}

BuildPlan loadConfiguration(std::string_view text, const fs::path& file) {
    // Before the parser, which would not report these safely.
    if (auto hazard = findParserHazard(text))
        throw ConfigError({file.string() + ":" + std::to_string(hazard->line) + ": " + hazard->message});
    toml::table doc;
    try {
        doc = toml::parse(text, file.string());
    } catch (const toml::parse_error& e) {
        throw ConfigError({file.string() + ":" + std::to_string(e.source().begin.line) + ": " +
                           std::string(e.description())});
    }
    return Loader(doc, file).load();
}

BuildPlan loadConfiguration(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::error_code ec;
    if (!in || fs::is_directory(file, ec))
        throw std::runtime_error("cannot read " + file.string() + ": " + (in ? "it is a directory" : std::strerror(errno)));
    std::ostringstream text;
    text << in.rdbuf();
    return loadConfiguration(text.str(), file);
}

}  // namespace kestro::tool
