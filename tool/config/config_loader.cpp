#include "tool/config/config_loader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <toml++/toml.h>

#include "format/config_keys.h"
#include "format/native_file.h"
#include "tool/config/defaults_merge.h"
#include "tool/config/environment_table.h"
#include "tool/config/included_names.h"
#include "tool/config/loader.h"
#include "tool/config/raw_resources.h"
#include "tool/config/settings_table.h"
#include "tool/config/value_checks.h"
#include "tool/settings/class_path.h"
#include "tool/settings/raw_values.h"
#include "tool/settings/setting_codec.h"
#include "tool/settings/setting_error.h"
#include "tool/settings/subsystem.h"
#include "tool/text/code_page.h"
#include "tool/text/command_line_text.h"
#include "tool/text/suggestion.h"
#include "tool/toml/toml_guard.h"
#include "tool/toml/toml_library.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

namespace loading {

BuildPlan Loader::load() {
    loadBuildOptions();
    for (auto&& [key, value] : doc_) {
        std::string_view name = key.str();
        if (std::ranges::find(settingGroups(), name) != settingGroups().end()) loadGroup(name, value);
        else if (std::ranges::find(resources::resourceGroups(), name) != resources::resourceGroups().end())
            loadResourceGroup(name, value);
        else if (name == kEnvironmentSection)
            loadEnvironment(value);
        else if (std::ranges::find(kSections, name) == kSections.end())
            unknown(name, value, topLevelSuggestion(name));
    }
    // After the readable settings, so that a clash names the readable one.
    if (auto files = doc_.get("files")) loadFiles(*files);
    if (auto keys = doc_.get("keys")) loadRawKeys(*keys);
    if (auto wide = doc_.get("wide")) plan_.head.wides = loadWideTable(*wide, "wide");
    if (auto locales = doc_.get("locale")) loadLocaleSets(*locales);
    loadResources();
    loadPackageTables();
    applyModuleRules();
    if (defaults_) addDefaults();
    addSubfolderArchives();
    addRuntimeLibrary();
    checkValues();
    checkResources();
    checkMainClassFound();
    if (!problems_.empty()) {
        problems_.insert(problems_.end(), warnings_.begin(), warnings_.end());
        throw ConfigError(sortedLines(problems_));
    }
    for (auto& [key, value] : strings_) plan_.head.strings.push_back({key, std::move(value)});
    plan_.captionFromName = defaults_ && !origins_.contains(msg::Caption);
    plan_.subsystem = subsystem_.value_or(defaultSubsystem(plan_.head));
    plan_.warnings = sortedLines(warnings_);
    plan_.codePage = cp_;
            return std::move(plan_);
}

void Loader::loadPackageTables() {
    std::vector<packaging::TableProblem> found;
    if (auto node = doc_.get(packaging::kPackageTable))
        plan_.package = packaging::readPackageSettings(*node, file_.parent_path(), found);
    if (auto node = doc_.get(packaging::kSigningTable))
        plan_.signing = packaging::readSigningSettings(*node, file_.parent_path(), found);
    for (const auto& [line, text] : found)
        problems_.push_back({line, format::pathText(file_) + (line ? ":" + std::to_string(line) : "") + ": " + text});
}

void Loader::problem(const toml::node* where, const std::string& text) {
    size_t line = where ? where->source().begin.line : 0;
    // A value that came from a defaults file (defaults_merge.h) carries that file's name.
    std::string name = where && where->source().path ? *where->source().path : format::pathText(file_);
    problems_.push_back({line, name + (line ? ":" + std::to_string(line) : "") + ": " + text});
}

// Line 0: about the file as a whole.
void Loader::warning(size_t line, const std::string& text) {
    warnings_.push_back({line, format::pathText(file_) + (line ? ":" + std::to_string(line) : "") + ": warning: " + text});
}

void Loader::problem(const toml::node& node, const std::string& setting, const SettingError& e) {
    problem(e.where() ? e.where() : &node, setting + e.path() + ": " + e.what());
}

void Loader::unknown(std::string_view name, const toml::node& value, const std::optional<std::string>& suggestion) {
    // A misspelt main class is reported once, as the misspelling.
    if (suggestion == findSetting(key::MainClass)->fullName()) given_.insert(key::MainClass);
    problem(&value, "unknown setting '" + std::string(name) + "'" + didYouMean(suggestion));
}

// For a name outside every group: the setting of that name ("main_class" written
// without its group), else the nearest group or section.
std::optional<std::string> Loader::topLevelSuggestion(std::string_view name) {
    for (const Setting& setting : allSettings())
        if (setting.name == name) return setting.fullName();
    std::vector<std::string> sections(settingGroups().begin(), settingGroups().end());
    sections.insert(sections.end(), kSections.begin(), kSections.end());
    sections.insert(sections.end(), resources::resourceGroups().begin(), resources::resourceGroups().end());
    return closestName(name, sections);
}

// For an unknown name in a group: the setting of that name in another group, else
// the nearest name in this group.
std::optional<std::string> Loader::groupSuggestion(std::string_view group, std::string_view name) {
    std::vector<std::string> here;
    for (const Setting& setting : allSettings()) {
        if (setting.name == name) return setting.fullName();
        if (setting.group == group) here.emplace_back(setting.name);
    }
    if (group == "classpath") here.emplace_back(kSubfolderArchivesSetting);
    for (std::string& resourceName : resources::resourceSettingNames(group))
        here.push_back(std::move(resourceName));
    auto closest = closestName(name, here);
    return closest ? std::optional(std::string(group) + "." + *closest) : std::nullopt;
}

// The nearest of a fixed set of keys, written after `prefix`.
std::optional<std::string> Loader::keySuggestion(const std::string& prefix, std::string_view key, const std::vector<std::string>& keys) {
    auto closest = closestName(key, keys);
    return closest ? std::optional(prefix + "." + *closest) : std::nullopt;
}

// In file order, whatever order the TOML tables were walked in.
std::vector<std::string> Loader::sortedLines(std::vector<std::pair<size_t, std::string>> lines) {
    std::ranges::stable_sort(lines, {}, &std::pair<size_t, std::string>::first);
    std::vector<std::string> texts;
    for (auto& [line, text] : lines) texts.push_back(std::move(text));
    return texts;
}

const toml::table* Loader::table(const toml::node& node, const std::string& name) {
    if (auto t = node.as_table()) return t;
    problem(&node, name + ": expected a table, got " + std::string(describeType(node)));
    return nullptr;
}

void Loader::store(int32_t key, std::string bytes, std::string setting, const toml::node& where) {
    bool readable = !setting.starts_with("keys.");
    auto [it, fresh] = origins_.try_emplace(key, Origin{setting, where.source().begin.line, &where, readable});
    if (!fresh) {
        problem(&where, "key " + std::to_string(key) + " is set both by '" + it->second.setting + "' (line " +
                            std::to_string(it->second.line) + ") and by '" + setting + "'");
        return;
    }
    strings_[key] = std::move(bytes);
}

void Loader::loadBuildOptions() {
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
        } else if (key.str() == "include_runtime_library") {
            guarded(value, name, [&, &value = value] {
                includeRuntime_ = requireBool(value);
                includeRuntimeLine_ = value.source().begin.line;
            });
        } else if (key.str() == "subsystem") {
            guarded(value, name, [&, &value = value] {
                const std::string& text = requireString(value);
                subsystem_ = subsystemByName(text);
                if (!subsystem_)
                    throw SettingError("expected \"gui\" or \"console\", got \"" + text + "\"", &value);
            });
        } else {
            auto known = names({"code_page", "defaults", "include_runtime_library", "subsystem"});
            unknown(name, value, keySuggestion("build", key.str(), known));
        }
    }
}

void Loader::loadGroup(std::string_view group, const toml::node& node) {
    const toml::table* settings = table(node, std::string(group));
    if (!settings) return;
    for (auto&& [key, value] : *settings) {
        std::string name = std::string(group) + "." + std::string(key.str());
        if (auto names = resources::resourceSettingNames(group);
            std::ranges::find(names, key.str()) != names.end()) {
            guarded(value, name, [&, &key = key, &value = value] {
                resources::readResourceSetting(plan_.resourceRequest, group, key.str(), value, file_.parent_path());
            });
            continue;
        }
        if (group == "classpath" && key.str() == kSubfolderArchivesSetting) {
            guarded(value, name, [&, &value = value] { subfolderArchives_ = requireBool(value); });
            continue;
        }
        const Setting* setting = findSetting(group, key.str());
        if (const FormerName* former = setting ? nullptr : findFormerName(group, key.str())) {
            setting = findSetting(former->key);
            warning(value.source().begin.line,
                    name + " is now called " + setting->fullName() + "; write that instead");
        }
        if (!setting) {
            unknown(name, value, groupSuggestion(group, key.str()));
            continue;
        }
        given_.insert(setting->key);
        guarded(value, name,
                [&, &value = value] { store(setting->key, encodeSetting(*setting, value, cp_), name, value); });
    }
}

void Loader::loadEnvironment(const toml::node& node) {
    const toml::table* variables = table(node, std::string(kEnvironmentSection));
    if (!variables || variables->empty()) return;
    guarded(node, std::string(kEnvironmentSection), [&] {
        store(key::Environment, encodeEnvironment(*variables, cp_), std::string(kEnvironmentSection), node);
    });
}

void Loader::loadRawKeys(const toml::node& node) {
    const toml::table* keys = table(node, "keys");
    if (!keys) return;
    for (auto&& [key, value] : *keys) {
        std::string name = "keys.\"" + std::string(key.str()) + "\"";
        guarded(value, name, [&, &key = key, &value = value] {
            int32_t number = rawKey(key.str());
            given_.insert(number);
            store(number, rawBytes(value, cp_), name, value);
        });
    }
}

std::vector<format::WideEntry> Loader::loadWideTable(const toml::node& node, const std::string& name) {
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

void Loader::loadLocaleSets(const toml::node& node) {
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
                unknown(name + "." + std::string(key.str()), value,
                        keySuggestion(name, key.str(), names({"prefix", "wide"})));
        }
        if (!set->contains("prefix")) problem(set, name + ": a locale set needs a prefix such as \"de\"");
        plan_.head.localeSets.push_back(std::move(locale));
    }
}

}  // namespace loading

ConfigError::ConfigError(std::vector<std::string> problems)
    : std::runtime_error(joinLines(problems)), problems_(std::move(problems)) {}

namespace {

toml::table parseDocument(std::string_view text, const fs::path& file) {
    // Before the parser, which would not report these safely.
    if (auto hazard = findParserHazard(text))
        throw ConfigError({format::pathText(file) + ":" + std::to_string(hazard->line) + ": " + hazard->message});
    try {
        return toml::parse(text, format::pathText(file));
    } catch (const toml::parse_error& e) {
        throw ConfigError({format::pathText(file) + ":" + std::to_string(e.source().begin.line) + ": " +
                           std::string(e.description())});
    } catch (const TomlReaderFault& e) {
        throw ConfigError({format::pathText(file) + ": " + std::string(kTomlReaderFault) + " (" + e.what() + ")"});
    }
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::error_code ec;
    if (!in || fs::is_directory(file, ec))
        throw std::runtime_error("cannot read " + format::pathText(file) + ": " + (in ? "it is a directory" : std::strerror(errno)));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

BuildPlan loadConfiguration(std::string_view text, const fs::path& file, const BuildInputs& inputs) {
    toml::table doc = parseDocument(text, file);
    std::vector<std::string> merged;
    if (!inputs.defaults.empty()) {
        toml::table defaults = parseDocument(readText(inputs.defaults), inputs.defaults);
        merged = mergeDefaults(doc, defaults, file, inputs.defaults);
    }
    try {
        BuildPlan plan = loading::Loader(doc, file, inputs).load();
        plan.warnings.insert(plan.warnings.begin(), merged.begin(), merged.end());
        return plan;
    } catch (const ConfigError& e) {
        if (merged.empty()) throw;
        std::vector<std::string> problems = e.problems();
        problems.insert(problems.end(), merged.begin(), merged.end());
        throw ConfigError(std::move(problems));
    }
}

BuildPlan loadConfiguration(const fs::path& file, const BuildInputs& inputs) {
    return loadConfiguration(readText(file), file, inputs);
}

}  // namespace kestro::tool
