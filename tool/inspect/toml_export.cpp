#include "tool/inspect/toml_export.h"

#include <algorithm>
#include <map>
#include <set>

#include "format/config_keys.h"
#include "format/native_file.h"
#include "tool/config/environment_table.h"
#include "tool/config/included_names.h"
#include "tool/config/raw_resources.h"
#include "tool/config/settings_table.h"
#include "tool/config/value_checks.h"
#include "tool/inspect/extract.h"
#include "tool/resources/resource_export.h"
#include "tool/settings/class_path.h"
#include "tool/settings/raw_values.h"
#include "tool/settings/setting_codec.h"
#include "tool/settings/subsystem.h"
#include "tool/toml/toml_writer.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

// Where the printed configuration finds the extracted files: relative to the current
// directory, where "> app.toml" writes it, so that the two can be moved together; a
// directory that has no relative path from there (another drive) stays absolute.
fs::path printedDirectory(const fs::path& dir) {
    std::error_code ec;
    fs::path here = fs::current_path(ec);
    return fs::absolute(dir, ec).lexically_proximate(here);
}

class Exporter {
public:
    Exporter(const LauncherContents& contents, CodePage cp, const std::optional<fs::path>& extractDir)
        : contents_(contents), cp_(cp), extractDir_(extractDir) {}

    ExportResult run() {
        collectStrings();
        bool files = filesDescribable();
        if (files) remaining_.erase(key::IncludedCount), remaining_.erase(key::IncludedNames);
        bool defaults = defaultsKept();
        if (files) takeSubfolderArchives(defaults);
        out_ = "# Read from a launcher by kestro inspect --toml; builds the same configuration block.\n";
        writeBuild(defaults, defaults && !velmora());
        bool splashKeys = remaining_.contains(key::SplashScreen) && remaining_.contains(key::RuntimeSplash);
        auto sourceOf = [&](const std::string& name) {
            fs::path relative = fs::path("resources") / format::pathFromUtf8(name);
            return format::genericPathText(printedPath(relative));
        };
        resources_ = resources::exportResources(contents_.resources, defaults, splashKeys, sourceOf);
        writeSettings(defaults);
        writeEnvironment();
        out_ += resources_.tables;
        writeRawKeys();
        writeWide();
        writeLocaleSets();
        if (files) writeFiles();
        writeResources();
        return {std::move(out_), std::move(notes_), files, !contents_.resources.empty()};
    }

private:
    // The launcher keeps the last value of a key; the build writes each key once, sorted.
    void collectStrings() {
        const auto& strings = contents_.head.strings;
        for (size_t i = 0; i < strings.size(); ++i) {
            if (remaining_.contains(strings[i].key))
                notes_.push_back("key " + std::to_string(strings[i].key) + " is stored twice; only its last value is printed");
            else if (i && strings[i].key < strings[i - 1].key && !unsortedNoted_) {
                notes_.push_back("the block's entries are not sorted by key; a rebuild sorts them");
                unsortedNoted_ = true;
            }
            remaining_[strings[i].key] = strings[i].value;
        }
    }

    // Whether [[files]] gives back the included files and keys 2002/2003 exactly; if not,
    // those keys are printed raw and the files' data cannot be carried.
    bool filesDescribable() {
        if (contents_.files.empty()) return false;
        if (auto why = filesProblem()) {
            notes_.push_back("the included files cannot be printed as [[files]] (" + *why +
                             "); [keys] keeps the stored count and names but a rebuild leaves their data out");
            return false;
        }
        return true;
    }

    std::optional<std::string> filesProblem() const {
        std::string names;
        std::set<std::string> seen;
        for (const auto& file : contents_.files) {
            bool valid = false;
            try {
                valid = isValidUtf8(file.name) && normaliseIncludedName(file.name) == file.name;
            } catch (const std::exception&) {
            }
            if (!valid) return "the name \"" + file.name + "\" is not one the build accepts";
            if (!seen.insert(foldedName(file.name)).second) return "the name \"" + file.name + "\" occurs twice";
            names += (names.empty() ? "" : ";") + file.name;
        }
        auto stored = [&](int32_t key) { return remaining_.contains(key) ? remaining_.at(key) : std::string(); };
        if (stored(key::IncludedCount) != std::to_string(contents_.files.size()))
            return "the stored count is not written as the build writes it";
        try {
            if (stored(key::IncludedNames) == toCodePage(names, cp_)) return std::nullopt;
        } catch (const std::exception&) {
        }
        return "the stored name list is not written as the build writes it";
    }

    // The class path entries that a build adds for included archives of sub-folders are
    // left to the build (the setting on), unless the rest of the class path would then be
    // printed under [keys], which the build leaves as it is. The setting is printed where
    // it differs from what `defaults` gives, and always without the defaults, where the
    // build would otherwise warn.
    void takeSubfolderArchives(bool defaults) {
        // Included modules are on the module path, where the build leaves them off the class path.
        auto modules = remaining_.find(key::ModulePath);
        std::string modulePath = modules == remaining_.end() ? "" : ";" + foldedName(modules->second) + ";";
        std::vector<std::string> names;
        for (const auto& file : contents_.files)
            if (modulePath.find(";%kestro_tempdir%\\" + foldedName(toCodePageOr(file.name)) + ";") == std::string::npos)
                names.push_back(file.name);
        std::string entries;
        try {
            entries = toCodePage(subfolderArchiveEntries(names), cp_);
        } catch (const std::exception&) {
            return;
        }
        if (entries.empty()) return;
        auto it = remaining_.find(key::ClassPath);
        bool carried = it != remaining_.end() && (it->second == entries || it->second.starts_with(entries + ";"));
        if (carried) {
            std::string rest = it->second.substr(std::min(it->second.size(), entries.size() + 1));
            toml::table holder;
            if (!rest.empty() && !decodeSetting(*findSetting(key::ClassPath), rest, cp_, holder)) return;
            if (rest.empty()) remaining_.erase(it);
            else it->second = rest;
        }
        if (carried != defaults || !defaults) subfolderArchives_ = carried;  // off without defaults: said, not warned
    }

    // Once, in the [classpath] group.
    void writeSubfolderArchives() {
        if (subfolderArchives_)
            out_ += std::string(kSubfolderArchivesSetting) + " = " + (*subfolderArchives_ ? "true" : "false") + "\n";
        subfolderArchives_.reset();
    }

    // Only when every key the build fills in by default is there can the defaults stay
    // on; and a file with the defaults on must name the main class or module.
    bool defaultsKept() const {
        return (remaining_.contains(key::MainClass) || remaining_.contains(key::MainModule)) &&
               std::ranges::all_of(allSettings(),
                                   [&](const Setting& s) { return !s.defaultText || remaining_.contains(s.key); });
    }

    bool velmora() const { return remaining_.contains(key::Flavour) && remaining_.at(key::Flavour).starts_with('v'); }

    // A kestro launcher's runtime library, if it has one, is one of its included files
    // and is printed among them like any other; the build must not add a second.
    void writeBuild(bool defaults, bool listsRuntimeLibrary) {
        out_ += "\n[build]\ncode_page = " + tomlString(codePageName(cp_)) + "\n";
        if (!defaults) out_ += "defaults = false\n";
        writeSubsystem();
        if (listsRuntimeLibrary)
            out_ += "# Any Java runtime library the launcher carries is listed under [[files]].\n"
                    "include_runtime_library = false\n";
    }

    // Only a subsystem other than the application type's needs saying.
    void writeSubsystem() {
        uint16_t fallback = defaultSubsystem(contents_.head);
        if (contents_.subsystem == fallback) return;
        if (auto name = subsystemName(contents_.subsystem)) {
            out_ += "subsystem = " + tomlString(*name) + "\n";
            return;
        }
        notes_.push_back("the executable's subsystem " + std::to_string(contents_.subsystem) +
                         " is neither windowed nor console; a rebuild writes " +
                         std::string(*subsystemName(fallback)));
    }

    // Bounds that no version satisfies are refused when given as settings, but a block
    // may carry them; under [keys] they build the same block again.
    bool boundsExcludeEachOther() const {
        auto min = remaining_.find(key::MinVersion), max = remaining_.find(key::MaxVersion);
        return min != remaining_.end() && max != remaining_.end() && versionBoundsExclude(min->second, max->second);
    }

    void writeSettings(bool defaults) {
        std::string_view group;
        bool rawBounds = boundsExcludeEachOther();
        const std::map<int32_t, std::string> stored = remaining_;  // what defaults depend on
        // Group by group: settings added later to a group stand at the table's end.
        std::vector<const Setting*> ordered;
        for (std::string_view name : settingGroups())
            for (const Setting& setting : allSettings())
                if (setting.group == name) ordered.push_back(&setting);
        for (const Setting* each : ordered) {
            const Setting& setting = *each;
            auto it = remaining_.find(setting.key);
            if (it == remaining_.end()) continue;
            if (rawBounds && (setting.key == key::MinVersion || setting.key == key::MaxVersion)) continue;
            if (defaults && setting.key == msg::Caption) {
                // The build names the error box after the product, which the printed
                // [version] gives, else after the new output: only the first is the same.
                if (resources_.productName && it->second == toCodePageOr(*resources_.productName)) {
                    remaining_.erase(it);
                    continue;
                }
            } else if (defaults && setting.defaultText &&
                       it->second == toCodePage(defaultTextFor(setting, stored), cp_)) {
                remaining_.erase(it);
                continue;
            }
            toml::table holder;
            if (!decodeSetting(setting, it->second, cp_, holder)) continue;  // printed under [keys]
            if (setting.group != group) {
                out_ += "\n[" + std::string(group = setting.group) + "]\n";
                if (group == "splash") writeSplashImage();
                if (group == "classpath") writeSubfolderArchives();
            }
            out_ += std::string(setting.name) + " = " + tomlInline(*holder.get(setting.name)) + "\n";
            remaining_.erase(it);
        }
        if (resources_.splashImage) out_ += "\n[splash]\n", writeSplashImage();
        if (subfolderArchives_) out_ += "\n[classpath]\n", writeSubfolderArchives();
    }

    // [environment], when its stored text is one the build writes; else it stays raw.
    void writeEnvironment() {
        auto it = remaining_.find(key::Environment);
        if (it == remaining_.end()) return;
        std::optional<toml::table> variables = decodeEnvironment(it->second, cp_);
        if (!variables) return;
        out_ += "\n[" + std::string(kEnvironmentSection) + "]\n";
        for (auto&& [name, value] : *variables) out_ += tomlKey(name.str()) + " = " + tomlInline(value) + "\n";
        remaining_.erase(it);
    }

    // Where the printed configuration finds what --extract wrote at `relative` below its
    // directory.
    fs::path printedPath(const fs::path& relative) const {
        return extractDir_ ? (printedDirectory(*extractDir_) / relative).lexically_normal() : relative;
    }

    // Once, in the [splash] group: the image's file, which --extract writes.
    void writeSplashImage() {
        if (resources_.splashImage) out_ += "image = " + tomlString(*resources_.splashImage) + "\n";
        resources_.splashImage.reset();
    }

    // The text's bytes in the code page; empty for a text it cannot carry.
    std::string toCodePageOr(const std::string& text) const {
        try {
            return toCodePage(text, cp_);
        } catch (const std::exception&) {
            return {};
        }
    }

    // A stored text as a string when the code page carries it back unchanged, else as hex.
    std::string rawText(const std::string& bytes) const {
        auto text = fromCodePage(bytes, cp_);
        if (text && toCodePage(*text, cp_) == bytes) return tomlString(*text);
        return "{ hex = " + tomlString(toHex(bytes)) + " }";
    }

    std::string wideText(const std::u16string& text) const {
        if (auto utf8 = utf16ToUtf8(text)) return tomlString(*utf8);
        std::string bytes;
        for (char16_t c : text) bytes += {char(c & 0xFF), char(c >> 8)};
        return "{ hex = " + tomlString(toHex(bytes)) + " }";
    }

    void writeRawKeys() {
        if (remaining_.empty()) return;
        out_ += "\n# Entries without a readable setting, or whose text the readable one would not store as is.\n[keys]\n";
        for (const auto& [key, bytes] : remaining_) out_ += tomlString(std::to_string(key)) + " = " + rawText(bytes) + "\n";
    }

    void writeWideEntries(const std::vector<format::WideEntry>& entries, std::string_view where) {
        if (!std::ranges::is_sorted(entries, std::less<>{}, &format::WideEntry::key) ||
            std::ranges::adjacent_find(entries, {}, &format::WideEntry::key) != entries.end())
            notes_.push_back(std::string(where) + " entries are not strictly sorted by key; a rebuild sorts them");
        for (const auto& e : entries) out_ += tomlString(std::to_string(e.key)) + " = " + wideText(e.value) + "\n";
    }

    void writeWide() {
        if (contents_.head.wides.empty()) return;
        out_ += "\n[wide]\n";
        writeWideEntries(contents_.head.wides, "wide string");
    }

    void writeLocaleSets() {
        for (const auto& set : contents_.head.localeSets) {
            auto prefix = fromCodePage(set.prefix, cp_);
            if (!prefix) {
                notes_.push_back("a locale prefix is not valid in the code page; it is printed as Windows-1252");
                prefix = fromCodePage(set.prefix, CodePage::Windows1252);
            }
            out_ += "\n[[locale]]\nprefix = " + tomlString(*prefix) + "\n";
            if (set.entries.empty()) continue;
            out_ += "[locale.wide]\n";
            writeWideEntries(set.entries, "locale set \"" + *prefix + "\"");
        }
    }

    void writeFiles() {
        for (const auto& file : contents_.files) {
            fs::path relative = includedNamePath(file.name);
            out_ += "\n[[files]]\nsource = " + tomlString(format::genericPathText(printedPath(relative))) +
                    "\nname = " + tomlString(file.name) + "\n";
        }
    }

    // Raw entries, each pointing at the file --extract writes for it.
    void writeResources() {
        for (const auto& resource : resources_.raw) {
            fs::path relative = resourcePath(resource);
            fs::path file = printedPath(relative);
            std::string name = resourceTypeName(resource.type);
            out_ += "\n[[resources]]\ntype = " + std::to_string(resource.type) + (name.empty() ? "" : "  # " + name) +
                    "\nid = " + std::to_string(resource.id) + "\nlanguage = " + std::to_string(resource.language) +
                    "\nfile = " + tomlString(format::genericPathText(file)) + "\n";
        }
    }

    const LauncherContents& contents_;
    CodePage cp_;
    std::optional<fs::path> extractDir_;
    std::optional<bool> subfolderArchives_;  // classpath.included_subfolder_archives, where it needs saying
    resources::ResourceExport resources_;  // the readable settings of the resources, and the rest
    std::map<int32_t, std::string> remaining_;  // stored texts not yet printed
    std::vector<std::string> notes_;
    std::string out_;
    bool unsortedNoted_ = false;
};

}  // namespace

ExportResult exportConfiguration(const LauncherContents& contents, CodePage cp, const std::optional<fs::path>& extractDir) {
    return Exporter(contents, cp, extractDir).run();
}

}  // namespace kestro::tool
