// The reading of one configuration file into a BuildPlan: the settings and the raw
// entries (config_loader.cpp); the included files, the checks across settings and what
// the build adds of its own (config_checks.cpp). Used only by loadConfiguration.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <toml++/toml.h>

#include "tool/config/config_loader.h"
#include "tool/settings/setting_error.h"

namespace kestro::tool::loading {

namespace fs = std::filesystem;

// Who set a stored key, for the message when two settings claim it and for the checks
// that look at several settings.
struct Origin {
    std::string setting;
    size_t line;
    const toml::node* value;
    bool readable;  // a named setting rather than [keys]
};

// The sections a configuration file may have besides the settings' groups.
inline constexpr std::array<std::string_view, 8> kSections{"build", "keys", "wide", "locale", "files", "resources",
                                                           "package", "signing"};

inline std::vector<std::string> names(std::initializer_list<std::string_view> list) { return {list.begin(), list.end()}; }

class Loader {
public:
    Loader(const toml::table& doc, const fs::path& file, const BuildInputs& inputs)
        : doc_(doc), file_(file), inputs_(inputs) {}
    BuildPlan load();

private:
    void problem(const toml::node* where, const std::string& text);

    // Line 0: about the file as a whole.
    void warning(size_t line, const std::string& text);

    void problem(const toml::node& node, const std::string& setting, const SettingError& e);
    void unknown(std::string_view name, const toml::node& value, const std::optional<std::string>& suggestion);

    // For a name outside every group: the setting of that name ("main_class" written
    // without its group), else the nearest group or section.
    static std::optional<std::string> topLevelSuggestion(std::string_view name);

    // For an unknown name in a group: the setting of that name in another group, else
    // the nearest name in this group.
    static std::optional<std::string> groupSuggestion(std::string_view group, std::string_view name);

    // The nearest of a fixed set of keys, written after `prefix`.
    static std::optional<std::string> keySuggestion(const std::string& prefix, std::string_view key, const std::vector<std::string>& keys);

    // In file order, whatever order the TOML tables were walked in.
    static std::vector<std::string> sortedLines(std::vector<std::pair<size_t, std::string>> lines);

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

    const toml::table* table(const toml::node& node, const std::string& name);

    void store(int32_t key, std::string bytes, std::string setting, const toml::node& where);

    void loadBuildOptions();

    void loadGroup(std::string_view group, const toml::node& node);

    // [icon], [version], [manifest]: settings of the executable's resources rather than
    // of the block.
    void loadResourceGroup(std::string_view group, const toml::node& node);

    // A setting of a resource group, if the file gives it.
    const toml::node* resourceSetting(std::string_view group, std::string_view name) const;

    // Settings that contradict each other, and the splash keys that make an image show.
    void checkResources();

    // An image shows only with keys 108 and 10123 both on: what a file that gives one
    // means, so the defaults set them; a file that sets them otherwise is told.
    void checkSplashKeys();

    void loadRawKeys(const toml::node& node);

    // [environment]: names and values, stored under one key.
    void loadEnvironment(const toml::node& node);

    std::vector<format::WideEntry> loadWideTable(const toml::node& node, const std::string& name);

    void loadLocaleSets(const toml::node& node);

    void loadFiles(const toml::node& node);

    // Raw [[resources]] entries, refused where they would take the place of one that a
    // readable setting (or the defaults) makes.
    void loadResources();

    format::IncludedFile loadFile(const toml::table& file, const std::string& name);

    // The source must be a file that can be read to its end; the message names the path
    // that was tried, since a relative source is taken from the configuration's directory.
    static void checkSource(const std::string& text, const fs::path& path);

    // Values that are each well formed but that the launcher would not use as meant, or
    // that contradict each other.
    void checkValues();

    // As the launcher reads the flavour: "v" first, else kestro.
    bool velmora() const;

    const Origin* readable(int32_t key) const;

    // Every launcher starts a VM and hands it the application's main class. Without
    // the defaults the file has taken control of what is written, so then it is only
    // pointed out.
    void checkMainClassPresent();

    void checkVmOptions(const Origin& options);

    // An archive that the class path lists and one of its scans finds too.
    void checkArchivesAlsoScanned();
    static toml::array rejoinedOptions(const std::vector<std::string>& pieces);

    // Whether the launcher redirects through `key`: nothing to say when [keys] set it.
    std::optional<bool> redirected(int32_t key) const;

    // A redirect without a file, and a file or append switch without a redirect.
    void checkRedirects();

    // The kestro flavour's launcher class comes from the Java runtime library, which the
    // launcher finds among the archives of its temporary directory: so, unless the file
    // says otherwise, the library travels inside the launcher as the last included file.
    // Velmora launchers take theirs from below the application directory instead.
    void addRuntimeLibrary();

    void addDefaults();

    // Included archives in sub-folders (lib/app.jar), which the launcher does not find
    // by itself, go first among the class path entries; without the defaults only when
    // the file asks, and otherwise it is told which setting does it.
    void addSubfolderArchives();

    // With the output known, a main class that none of the archives the build can see
    // holds is warned about, naming the nearest class (main_class_check.cpp).
    void checkMainClassFound();

    // [package] and [signing] (tool/package/package_settings.h).
    void loadPackageTables();

    // application.main_module against the main class and the version bounds (raising
    // the lower one to 9), and application.module_path's included files
    // (module_rules.cpp). Before the defaults, which word the bounds.
    void applyModuleRules();
    void placeIncludedModules(const Origin& path);

    const toml::table& doc_;
    fs::path file_;
    const BuildInputs& inputs_;
    std::optional<bool> includeRuntime_;
    std::optional<bool> subfolderArchives_;
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
    std::vector<std::string> modularFiles_;  // included files on the module path, not the class path
};

}  // namespace kestro::tool::loading
