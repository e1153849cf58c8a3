#include "tool/config_loader.h"

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
#include "tool/code_page.h"
#include "tool/command_line_text.h"
#include "tool/included_names.h"
#include "tool/raw_values.h"
#include "tool/resource_settings.h"
#include "tool/setting_codec.h"
#include "tool/setting_error.h"
#include "tool/settings_table.h"
#include "tool/subsystem.h"
#include "tool/suggestion.h"
#include "tool/toml_guard.h"
#include "tool/toml_library.h"
#include "tool/toml_values.h"
#include "tool/value_checks.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

// Who set a stored key, for the message when two settings claim it and for the checks
// that look at several settings.
struct Origin {
    std::string setting;
    size_t line;
    const toml::node* value;
    bool readable;  // a named setting rather than [keys]
};

// The sections a configuration file may have besides the settings' groups.
constexpr std::array<std::string_view, 6> kSections{"build", "keys", "wide", "locale", "files", "resources"};

std::vector<std::string> names(std::initializer_list<std::string_view> list) { return {list.begin(), list.end()}; }

class Loader {
public:
    Loader(const toml::table& doc, const fs::path& file, const BuildInputs& inputs)
        : doc_(doc), file_(file), inputs_(inputs) {}

    BuildPlan load() {
        loadBuildOptions();
        for (auto&& [key, value] : doc_) {
            std::string_view name = key.str();
            if (std::ranges::find(settingGroups(), name) != settingGroups().end()) loadGroup(name, value);
            else if (std::ranges::find(resources::resourceGroups(), name) != resources::resourceGroups().end())
                loadResourceGroup(name, value);
            else if (std::ranges::find(kSections, name) == kSections.end())
                unknown(name, value, topLevelSuggestion(name));
        }
        // After the readable settings, so that a clash names the readable one.
        if (auto files = doc_.get("files")) loadFiles(*files);
        if (auto keys = doc_.get("keys")) loadRawKeys(*keys);
        if (auto wide = doc_.get("wide")) plan_.head.wides = loadWideTable(*wide, "wide");
        if (auto locales = doc_.get("locale")) loadLocaleSets(*locales);
        loadResources();
        if (defaults_) addDefaults();
        addRuntimeLibrary();
        checkValues();
        checkResources();
        if (!problems_.empty()) {
            problems_.insert(problems_.end(), warnings_.begin(), warnings_.end());
            throw ConfigError(sortedLines(problems_));
        }
        for (auto& [key, value] : strings_) plan_.head.strings.push_back({key, std::move(value)});
        plan_.subsystem = subsystem_.value_or(defaultSubsystem(plan_.head));
        plan_.warnings = sortedLines(warnings_);
        plan_.codePage = cp_;
                return std::move(plan_);
    }

private:
    void problem(const toml::node* where, const std::string& text) {
        size_t line = where ? where->source().begin.line : 0;
        problems_.push_back({line, file_.string() + (line ? ":" + std::to_string(line) : "") + ": " + text});
    }

    // Line 0: about the file as a whole.
    void warning(size_t line, const std::string& text) {
        warnings_.push_back({line, file_.string() + (line ? ":" + std::to_string(line) : "") + ": warning: " + text});
    }

    void problem(const toml::node& node, const std::string& setting, const SettingError& e) {
        problem(e.where() ? e.where() : &node, setting + e.path() + ": " + e.what());
    }
    void unknown(std::string_view name, const toml::node& value, const std::optional<std::string>& suggestion) {
        // A misspelt main class is reported once, as the misspelling.
        if (suggestion == findSetting(key::MainClass)->fullName()) given_.insert(key::MainClass);
        problem(&value, "unknown setting '" + std::string(name) + "'" + didYouMean(suggestion));
    }

    // For a name outside every group: the setting of that name ("main_class" written
    // without its group), else the nearest group or section.
    static std::optional<std::string> topLevelSuggestion(std::string_view name) {
        for (const Setting& setting : allSettings())
            if (setting.name == name) return setting.fullName();
        std::vector<std::string> sections(settingGroups().begin(), settingGroups().end());
        sections.insert(sections.end(), kSections.begin(), kSections.end());
        sections.insert(sections.end(), resources::resourceGroups().begin(), resources::resourceGroups().end());
        return closestName(name, sections);
    }

    // For an unknown name in a group: the setting of that name in another group, else
    // the nearest name in this group.
    static std::optional<std::string> groupSuggestion(std::string_view group, std::string_view name) {
        std::vector<std::string> here;
        for (const Setting& setting : allSettings()) {
            if (setting.name == name) return setting.fullName();
            if (setting.group == group) here.emplace_back(setting.name);
        }
        for (std::string& resourceName : resources::resourceSettingNames(group))
            here.push_back(std::move(resourceName));
        auto closest = closestName(name, here);
        return closest ? std::optional(std::string(group) + "." + *closest) : std::nullopt;
    }

    // The nearest of a fixed set of keys, written after `prefix`.
    static std::optional<std::string> keySuggestion(const std::string& prefix, std::string_view key,
                                                    const std::vector<std::string>& keys) {
        auto closest = closestName(key, keys);
        return closest ? std::optional(prefix + "." + *closest) : std::nullopt;
    }

    // In file order, whatever order the TOML tables were walked in.
    static std::vector<std::string> sortedLines(std::vector<std::pair<size_t, std::string>> lines) {
        std::ranges::stable_sort(lines, {}, &std::pair<size_t, std::string>::first);
        std::vector<std::string> texts;
        for (auto& [line, text] : lines) texts.push_back(std::move(text));
        return texts;
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
        bool readable = !setting.starts_with("keys.");
        auto [it, fresh] = origins_.try_emplace(key, Origin{setting, where.source().begin.line, &where, readable});
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

    void loadGroup(std::string_view group, const toml::node& node) {
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

    // [icon], [version], [manifest]: settings of the executable's resources rather than
    // of the block.
    void loadResourceGroup(std::string_view group, const toml::node& node) {
        const toml::table* settings = table(node, std::string(group));
        if (!settings) return;
        if (group == "version") plan_.resourceRequest.versionGiven = true;
        if (group == "manifest") plan_.resourceRequest.manifestGiven = true;
        std::vector<std::string> known = resources::resourceSettingNames(group);
        for (auto&& [key, value] : *settings) {
            std::string name = std::string(group) + "." + std::string(key.str());
            if (std::ranges::find(known, key.str()) == known.end()) {
                unknown(name, value, groupSuggestion(group, key.str()));
                continue;
            }
            guarded(value, name, [&, &key = key, &value = value] {
                resources::readResourceSetting(plan_.resourceRequest, group, key.str(), value, file_.parent_path());
            });
        }
    }

    // A setting of a resource group, if the file gives it.
    const toml::node* resourceSetting(std::string_view group, std::string_view name) const {
        const toml::table* settings = doc_.get(group) ? doc_.get(group)->as_table() : nullptr;
        return settings ? settings->get(name) : nullptr;
    }

    // Settings that contradict each other, and the splash keys that make an image show.
    void checkResources() {
        auto line = [](const toml::node* node) { return std::to_string(node->source().begin.line); };
        const toml::node* file = resourceSetting("manifest", "file");
        const toml::node* generate = resourceSetting("manifest", "generate");
        bool off = generate && generate->is_boolean() && !generate->as_boolean()->get();
        for (std::string_view name : {"execution_level", "dpi_aware", "long_path_aware"}) {
            const toml::node* value = resourceSetting("manifest", name);
            if (!value) continue;
            std::string setting = "manifest." + std::string(name);
            if (file)
                problem(value, setting + ": the manifest comes from manifest.file (line " + line(file) +
                                   "), which replaces the generated one; set this in that file instead");
            else if (off)
                warning(value->source().begin.line,
                        setting + " has no effect with manifest.generate = false (line " + line(generate) + ")");
        }
        if (file && off)
            problem(file, "manifest.file: manifest.generate = false (line " + line(generate) +
                              ") writes no manifest; remove one of the two");
        if (plan_.resourceRequest.splashImage) checkSplashKeys();
    }

    // An image shows only with keys 108 and 10123 both on: what a file that gives one
    // means, so the defaults set them; a file that sets them otherwise is told.
    void checkSplashKeys() {
        const toml::node* image = resourceSetting("splash", "image");
        std::vector<std::string> off;
        for (int32_t key : {key::SplashScreen, key::RuntimeSplash}) {
            auto it = strings_.find(key);
            if (it == strings_.end() && defaults_) strings_[key] = "1";
            else if (it == strings_.end() || std::strtol(it->second.c_str(), nullptr, 10) == 0)
                off.push_back(origins_.contains(key) ? origins_.at(key).setting : findSetting(key)->fullName());
        }
        if (off.empty() || !image) return;
        std::string which = off.size() > 1 ? off.front() + " and " + off.back() + " are not" : off.front() + " is not";
        warning(image->source().begin.line,
                "splash.image is carried but not shown: the launcher shows it only when splash.enabled and "
                "splash.use_runtime_library are true, and " + which);
    }

    void loadRawKeys(const toml::node& node) {
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
                    unknown(name + "." + std::string(key.str()), value,
                            keySuggestion(name, key.str(), names({"prefix", "wide"})));
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
                fileTables_.push_back(file);
            }
        }
        if (files.empty()) return;
        store(key::IncludedCount, std::to_string(files.size()), "files", node);
        guarded(node, "files", [&] { store(key::IncludedNames, toCodePage(names, cp_), "files", node); });
    }

    // Raw [[resources]] entries, refused where they would take the place of one that a
    // readable setting (or the defaults) makes.
    void loadResources() {
        resources::ResourceRequest& request = plan_.resourceRequest;
        request.defaults = defaults_;
        std::vector<ResourceOwner> readable;
        auto own = [&](uint16_t type, uint16_t id, std::string setting, const toml::node* where) {
            readable.push_back({type, id, resources::kLanguage, std::move(setting), where});
        };
        for (const auto& icon : request.icon) own(icon.type, icon.id, "icon.file", resourceSetting("icon", "file"));
        if (request.splashImage)
            own(resources::kTypeRcData, resources::kSplashImageId, "splash.image", resourceSetting("splash", "image"));
        if (request.writesVersion())
            own(resources::kTypeVersion, resources::kVersionId,
                request.versionGiven ? "[version]" : "the version information the build writes by default (set "
                                                     "version.generate = false to give your own)",
                doc_.get("version"));
        if (request.writesManifest())
            own(resources::kTypeManifest, resources::kManifestId,
                request.manifestGiven ? "[manifest]" : "the manifest the build writes by default (set "
                                                       "manifest.generate = false to give your own)",
                doc_.get("manifest"));
        std::vector<ResourceProblem> problems;
        plan_.resources = collectResources(doc_, file_, problems, readable);
        for (const auto& p : problems) problem(p.where, p.text);
    }

    format::IncludedFile loadFile(const toml::table& file, const std::string& name) {
        format::IncludedFile included;
        const toml::node* source = file.get("source");
        for (auto&& [key, value] : file)
            if (key.str() != "source" && key.str() != "name")
                unknown(name + "." + std::string(key.str()), value, keySuggestion(name, key.str(), names({"source", "name"})));
        if (!source) {
            problem(&file, name + ": an included file needs a source path");
            return included;
        }
        guarded(*source, name + ".source", [&] {
            const std::string& text = requireString(*source);
            included.source = file_.parent_path() / fs::path(text);
            checkSource(text, included.source);
        });
        const toml::node* given = file.get("name");
        guarded(given ? *given : *source, name + ".name", [&] {
            // Without a name the file lands at the top of the temporary directory.
            std::string text = given ? requireString(*given) : fs::path(requireString(*source)).filename().string();
            included.name = normaliseIncludedName(text);
        });
        return included;
    }

    // The source must be a file that can be read to its end; the message names the path
    // that was tried, since a relative source is taken from the configuration's directory.
    static void checkSource(const std::string& text, const fs::path& path) {
        std::error_code ec;
        fs::file_status status = fs::status(path, ec);
        std::string tried = " (looked for " + fs::absolute(path, ec).lexically_normal().string() + ")";
        switch (status.type()) {
        case fs::file_type::regular: return;
        case fs::file_type::not_found: throw SettingError("included file '" + text + "' not found" + tried);
        case fs::file_type::directory:
            throw SettingError("'" + text + "' is a directory" + tried + "; include each of its files on its own");
        case fs::file_type::none: throw SettingError("cannot read '" + text + "'" + tried + ": " + ec.message());
        default: throw SettingError("'" + text + "' is not a regular file" + tried);
        }
    }

    // Values that are each well formed but that the launcher would not use as meant, or
    // that contradict each other.
    void checkValues() {
        if (const Origin* type = readable(key::ApplicationType); type && type->value->is_integer())
            if (auto text = applicationTypeWarning(int32_t(type->value->as_integer()->get()))) warning(type->line, *text);
        if (const Origin* mainClass = readable(key::MainClass))
            if (auto text = mainClassWarning(mainClass->value->as_string()->get())) warning(mainClass->line, *text);
        const Origin* min = readable(key::MinVersion);
        const Origin* max = readable(key::MaxVersion);
        for (const Origin* bound : {min, max})
            if (bound)
                if (auto text = versionBoundWarning(bound->value->as_string()->get()))
                    warning(bound->line, bound->setting + " " + *text);
        if (min && max && versionBoundsExclude(min->value->as_string()->get(), max->value->as_string()->get()))
            problem(max->value, "java.max_version \"" + max->value->as_string()->get() +
                                    "\" is below java.min_version \"" + min->value->as_string()->get() + "\" (line " +
                                    std::to_string(min->line) + "); no Java version satisfies both");
        checkMainClassPresent();
        if (const Origin* directory = readable(key::ApplicationDirectory);
            directory && velmora() && directory->value->as_string()->get().find(';') != std::string::npos)
            problem(directory->value, "application.directory contains ';': a velmora launcher puts "
                                      ".velmora\\vlmruntime.jar below it on the class path, which ';' separates");
        if (const Origin* options = readable(key::VmOptions)) checkVmOptions(*options);
        checkRedirects();
        for (const auto& [key, origin] : origins_) {
            const Setting* setting = findSetting(key);
            if (!setting || !setting->neverShown) continue;
            std::string instead = setting->shownInstead.empty()
                                      ? "no launcher path shows it"
                                      : "the launcher shows messages." + std::string(setting->shownInstead) + " instead";
            warning(origin.line, origin.setting + " changes a message the launcher never shows; " + instead);
        }
    }

    // As the launcher reads the flavour: "v" first, else kestro.
    bool velmora() const {
        auto it = strings_.find(key::Flavour);
        return it != strings_.end() && it->second.starts_with('v');
    }

    const Origin* readable(int32_t key) const {
        auto it = origins_.find(key);
        return it != origins_.end() && it->second.readable ? &it->second : nullptr;
    }

    // Every launcher starts a VM and hands it the application's main class. Without
    // the defaults the file has taken control of what is written, so then it is only
    // pointed out.
    void checkMainClassPresent() {
        if (given_.contains(key::MainClass)) return;  // a refused value has its own message
        if (defaults_)
            problem(nullptr, "the application's main class is missing; add it under [application], for example "
                             "main_class = \"com.example.Main\" (the class whose main method starts the application)");
        else
            warning(0, "no application.main_class: the launcher class would have no application to start");
    }

    void checkVmOptions(const Origin& options) {
        const toml::node& value = *options.value;
        const toml::array* list = value.as_array();
        std::vector<std::string> pieces = list ? requireStringList(value) : splitArguments(value.as_string()->get());
        for (const PieceWarning& w : vmOptionWarnings(pieces)) {
            if (list)
                warning((*list)[w.index].source().begin.line,
                        "vm.options[" + std::to_string(w.index) + "]: " + w.text);
            else
                warning(options.line, "vm.options: " + w.text);
        }
    }

    // Whether the launcher redirects through `key`: nothing to say when [keys] set it.
    std::optional<bool> redirected(int32_t key) const {
        auto it = origins_.find(key);
        if (it == origins_.end()) return false;
        if (!it->second.readable) return std::nullopt;
        return it->second.value->as_boolean()->get();
    }

    // A redirect without a file, and a file or append switch without a redirect.
    void checkRedirects() {
        const std::array<std::pair<int32_t, int32_t>, 2> streams{{{key::RedirectStderr, key::StderrFile},
                                                                  {key::RedirectStdout, key::StdoutFile}}};
        for (auto [flag, file] : streams) {
            std::optional<bool> on = redirected(flag);
            std::string flagName = findSetting(flag)->fullName(), fileName = findSetting(file)->fullName();
            const Origin* named = readable(file);
            if (on == false && named)
                warning(named->line, fileName + " has no effect unless " + flagName + " = true");
            if (on != true) continue;
            const toml::node* where = named ? named->value : readable(flag)->value;
            const std::string stored = strings_.contains(file) ? strings_[file] : std::string();
            if (stored.empty())
                problem(where, flagName + " = true needs a file: set " + fileName + ", for example \"" +
                                   std::string(*findSetting(file)->defaultText) + "\"");
            else if (stored == "$")
                problem(where, fileName + " \"$\" names no property or variable; \"$NAME\" takes the path from system "
                                          "property NAME, else environment variable NAME");
        }
        const Origin* append = readable(key::LauncherFlag);
        if (append && append->value->as_boolean()->get() && redirected(key::RedirectStderr) == false &&
            redirected(key::RedirectStdout) == false)
            warning(append->line,
                    append->setting + " = true has no effect unless redirect.stderr or redirect.stdout is true");
    }

    // The kestro flavour's launcher class comes from the Java runtime library, which the
    // launcher finds among the archives of its temporary directory: so, unless the file
    // says otherwise, the library travels inside the launcher as the last included file.
    // Velmora launchers take theirs from below the application directory instead.
    void addRuntimeLibrary() {
        if (velmora()) {
            if (includeRuntime_.value_or(false))
                warning(includeRuntimeLine_,
                        "build.include_runtime_library has no effect in the velmora flavour, whose launchers take "
                        "the runtime library from .velmora\\vlmruntime.jar below the application directory "
                        "(kestro build --write-runtime-jar writes it there)");
            return;
        }
        if (!includeRuntime_.value_or(defaults_) || inputs_.runtimeLibrary.empty()) return;
        const std::string off = "build.include_runtime_library = false";
        for (size_t i = 0; i < plan_.files.size(); ++i)
            if (foldedName(plan_.files[i].name) == foldedName(kRuntimeLibraryName)) {
                problem(fileTables_[i], "files[" + std::to_string(i) + "].name: \"" + plan_.files[i].name +
                                            "\" is the name under which kestro build includes the Java runtime "
                                            "library; rename the file, or set " + off + " to ship your own");
                return;
            }
        for (int32_t key : {key::IncludedCount, key::IncludedNames})
            if (auto it = origins_.find(key); it != origins_.end() && !it->second.readable) {
                problem(it->second.value, it->second.setting + ": kestro build writes the included files' count and "
                                              "names itself, the Java runtime library among them; set " + off +
                                              " to write them by hand");
                return;
            }
        std::error_code ec;
        if (!fs::is_regular_file(inputs_.runtimeLibrary, ec)) {
            problem(nullptr, "the Java runtime library that kestro build includes in kestro launchers is missing "
                             "(looked for " + inputs_.runtimeLibrary.string() + "); set " + off +
                             " if the application ships it itself");
            return;
        }
        plan_.files.push_back({.name = std::string(kRuntimeLibraryName), .source = inputs_.runtimeLibrary});
        std::string names;
        for (const auto& file : plan_.files) names += (names.empty() ? "" : ";") + file.name;
        strings_[key::IncludedCount] = std::to_string(plan_.files.size());
        try {
            strings_[key::IncludedNames] = toCodePage(names, cp_);
        } catch (const SettingError&) {
            // A name without a byte in the code page was reported when [[files]] was read.
        }
    }

    void addDefaults() {
        for (const Setting& setting : allSettings())
            if (setting.defaultText && !strings_.contains(setting.key))
                strings_[setting.key] = toCodePage(*setting.defaultText, cp_);
    }

    const toml::table& doc_;
    fs::path file_;
    const BuildInputs& inputs_;
    std::optional<bool> includeRuntime_;
    std::optional<uint16_t> subsystem_;
    size_t includeRuntimeLine_ = 0;
    std::vector<const toml::table*> fileTables_;  // beside plan_.files
    CodePage cp_ = CodePage::Windows1252;
    bool defaults_ = true;
    BuildPlan plan_;
    std::map<int32_t, std::string> strings_;  // sorted by key, as written
    std::map<int32_t, Origin> origins_;
    std::set<int32_t> given_;  // keys the file sets, whether or not their values were accepted
    std::vector<std::pair<size_t, std::string>> problems_;  // line, message
    std::vector<std::pair<size_t, std::string>> warnings_;  // line, message
};

}  // namespace

ConfigError::ConfigError(std::vector<std::string> problems)
    : std::runtime_error(joinLines(problems)), problems_(std::move(problems)) {}

BuildPlan loadConfiguration(std::string_view text, const fs::path& file, const BuildInputs& inputs) {
    // Before the parser, which would not report these safely.
    if (auto hazard = findParserHazard(text))
        throw ConfigError({file.string() + ":" + std::to_string(hazard->line) + ": " + hazard->message});
    toml::table doc;
    try {
        doc = toml::parse(text, file.string());
    } catch (const toml::parse_error& e) {
        throw ConfigError({file.string() + ":" + std::to_string(e.source().begin.line) + ": " +
                           std::string(e.description())});
    } catch (const TomlReaderFault& e) {
        throw ConfigError({file.string() + ": " + std::string(kTomlReaderFault) + " (" + e.what() + ")"});
    }
    return Loader(doc, file, inputs).load();
}

BuildPlan loadConfiguration(const fs::path& file, const BuildInputs& inputs) {
    std::ifstream in(file, std::ios::binary);
    std::error_code ec;
    if (!in || fs::is_directory(file, ec))
        throw std::runtime_error("cannot read " + file.string() + ": " + (in ? "it is a directory" : std::strerror(errno)));
    std::ostringstream text;
    text << in.rdbuf();
    return loadConfiguration(text.str(), file, inputs);
}

}  // namespace kestro::tool
