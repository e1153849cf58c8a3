// The settings of a modular application: application.main_module and
// application.module_path, and what they ask of the other settings.
#include <algorithm>

#include "format/config_keys.h"
#include "format/version_order.h"
#include "tool/config/included_names.h"
#include "tool/config/loader.h"
#include "tool/config/settings_table.h"
#include "tool/config/value_checks.h"
#include "tool/settings/class_path.h"
#include "tool/text/code_page.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool::loading {

namespace {

// The first Java that has modules; a lower bound below it would admit runtimes that
// cannot start the application.
constexpr std::string_view kFirstModularJava = "9";

}  // namespace

void Loader::applyModuleRules() {
    const Origin* module = readable(key::MainModule);
    const Origin* path = readable(key::ModulePath);
    if (!given_.contains(key::MainModule)) {
        if (path)
            problem(path->value, "application.module_path needs application.main_module, the module to start; "
                                 "without it the launcher starts application.main_class from the class path");
        return;
    }
    if (!module) return;  // refused, or set under [keys]: the file took control
    if (const Origin* mainClass = given_.contains(key::MainClass) ? &origins_.at(key::MainClass) : nullptr)
        problem(module->value, "application.main_module and " + mainClass->setting + " (line " +
                                   std::to_string(mainClass->line) + ") exclude each other: a modular application's "
                                   "main class is the one its module names, or the one after \"/\" "
                                   "(\"com.example.app/com.example.app.Main\"); remove " + mainClass->setting);
    if (const Origin* max = readable(key::MaxVersion);
        max && versionBoundsExclude(kFirstModularJava, strings_.at(key::MaxVersion))) {
        problem(max->value, "java.max_version \"" + strings_.at(key::MaxVersion) +
                                "\" admits no Java with modules: application.main_module (line " +
                                std::to_string(module->line) + ") needs Java 9 or later");
        return;
    }
    // Raised rather than refused: no runtime below 9 could start the application.
    auto min = origins_.find(key::MinVersion);
    if (min == origins_.end() || min->second.readable) {
        auto stored = strings_.find(key::MinVersion);
        if (stored == strings_.end() || stored->second.empty() || passesLowerBound(kFirstModularJava, stored->second))
            strings_[key::MinVersion] = std::string(kFirstModularJava);
    }
    if (path) placeIncludedModules(*path);
}

// Entries that name an included file ("mods/app.jar" beside [[files]] name = "mods/app.jar")
// are the file in the temporary directory, as the class path's entries for included
// archives are. An entry written as that place already (as inspect --toml prints it) is
// an included module all the same, so that it stays off the class path.
void Loader::placeIncludedModules(const Origin& path) {
    const toml::array& list = *path.value->as_array();
    std::string text;
    bool changed = false;
    for (size_t i = 0; i < list.size(); ++i) {
        std::string entry = list[i].as_string()->get();
        bool placed = foldedName(entry.substr(0, kTempDirReference.size())) == foldedName(kTempDirReference);
        std::string name = placed ? entry.substr(kTempDirReference.size()) : entry;
        auto included = std::ranges::find_if(plan_.files, [&](const format::IncludedFile& file) {
            try {
                return foldedName(normaliseIncludedName(name)) == foldedName(file.name);
            } catch (const SettingError&) {
                return false;  // no name an included file can have
            }
        });
        if (included != plan_.files.end()) {
            if (!placed) entry = std::string(kTempDirReference) + included->name;
            changed = changed || !placed;
            modularFiles_.push_back(included->name);
            if (included->name.find('\\') == std::string::npos || foldedName(included->name).starts_with("user\\"))
                warning(list[i].source().begin.line,
                        "application.module_path[" + std::to_string(i) + "]: the included file \"" + included->name +
                            "\" is on the class path too, as every archive at the top of the temporary directory "
                            "and in its user folder is; give it a folder of its own, such as name = \"mods/" +
                            included->name.substr(included->name.find('\\') + 1) + "\"");
        }
        text += (i ? ";" : "") + entry;
    }
    if (!changed) return;
    guarded(*path.value, path.setting, [&] {
        std::string stored = toCodePage(text, cp_);
        if (stored.size() >= kLauncherTextCapacity)
            throw SettingError("with the included files' places the stored text would be " +
                                   std::to_string(stored.size()) + " bytes; the launcher reads at most " +
                                   std::to_string(kLauncherTextCapacity - 1),
                               path.value);
        strings_[key::ModulePath] = std::move(stored);
    });
}

}  // namespace kestro::tool::loading
