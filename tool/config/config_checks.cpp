#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "format/config_keys.h"
#include "format/native_file.h"
#include "tool/config/included_names.h"
#include "tool/config/loader.h"
#include "tool/config/settings_table.h"
#include "tool/config/value_checks.h"
#include "tool/settings/class_path.h"
#include "tool/text/code_page.h"
#include "tool/text/command_line_text.h"
#include "tool/toml/toml_values.h"
#include "tool/toml/toml_writer.h"

namespace kestro::tool::loading {

// Settings that contradict each other, and the splash keys that make an image show.
void Loader::checkResources() {
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
void Loader::checkSplashKeys() {
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

// Values that are each well formed but that the launcher would not use as meant, or
// that contradict each other.
void Loader::checkValues() {
    if (const Origin* type = readable(key::ApplicationType); type && type->value->is_integer())
        if (auto text = applicationTypeWarning(int32_t(type->value->as_integer()->get()))) warning(type->line, *text);
    if (const Origin* mainClass = readable(key::MainClass))
        if (auto text = mainClassWarning(mainClass->value->as_string()->get())) warning(mainClass->line, *text);
    // Versions by their stored text, which a whole number (min_version = 17) gives too.
    const Origin* min = readable(key::MinVersion);
    const Origin* max = readable(key::MaxVersion);
    for (const Origin* bound : {min, max})
        if (bound)
            if (auto text = versionBoundWarning(strings_.at(bound == min ? key::MinVersion : key::MaxVersion)))
                warning(bound->line, bound->setting + " " + *text);
    if (min && max && versionBoundsExclude(strings_.at(key::MinVersion), strings_.at(key::MaxVersion)))
        problem(max->value, "java.max_version \"" + strings_.at(key::MaxVersion) + "\" is below java.min_version \"" +
                                strings_.at(key::MinVersion) + "\" (line " + std::to_string(min->line) +
                                "); no Java version satisfies both");
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
    checkArchivesAlsoScanned();
}

void Loader::checkArchivesAlsoScanned() {
    const Origin* origin = readable(key::ClassPath);
    const toml::array* list = origin ? origin->value->as_array() : nullptr;
    if (!list) return;
    // The file's own entries: the stored text may begin with the archives of sub-folders.
    std::string entries;
    try {
        entries = encodeClassPath(*list);
    } catch (const SettingError&) {
        return;  // reported where the setting was read
    }
    std::vector<std::string> names = splitKeepingEmpty(entries);
    for (auto [archive, scan] : archivesAlsoScanned(entries))
        warning((*list)[archive].source().begin.line,
                origin->setting + "[" + std::to_string(archive) + "]: the archive " + names[archive].substr(2) +
                    " is also found by the scan of " + names[scan].substr(2) + " (" + origin->setting + "[" +
                    std::to_string(scan) + "]), so it goes on the class path twice; list the archive or scan its "
                    "directory, not both");
}

// As the launcher reads the flavour: "v" first, else kestro.
bool Loader::velmora() const {
    auto it = strings_.find(key::Flavour);
    return it != strings_.end() && it->second.starts_with('v');
}

const Origin* Loader::readable(int32_t key) const {
    auto it = origins_.find(key);
    return it != origins_.end() && it->second.readable ? &it->second : nullptr;
}

// Every launcher starts a VM and hands it the application's main class. Without
// the defaults the file has taken control of what is written, so then it is only
// pointed out.
void Loader::checkMainClassPresent() {
    // A refused value has its own message; a modular application names its main module.
    if (given_.contains(key::MainClass) || given_.contains(key::MainModule)) return;
    if (defaults_)
        problem(nullptr, "the application's main class is missing; add it under [application], for example "
                         "main_class = \"com.example.Main\" (the class whose main method starts the application)");
    else
        warning(0, "no application.main_class: the launcher class would have no application to start");
}

void Loader::checkVmOptions(const Origin& options) {
    const toml::node& value = *options.value;
    const toml::array* list = value.as_array();
    std::vector<std::string> pieces = list ? requireStringList(value) : splitArguments(value.as_string()->get());
    bool strayShown = false;
    for (const PieceWarning& w : vmOptionWarnings(pieces)) {
        if (list)
            warning((*list)[w.index].source().begin.line, "vm.options[" + std::to_string(w.index) + "]: " + w.text);
        else if (!w.stray)
            warning(options.line, "vm.options: " + w.text);
        else if (!std::exchange(strayShown, true))
            warning(options.line, "vm.options: " + w.text + "; the launcher splits this text at every space outside "
                                  "quotes. To keep a value with spaces in one option, write the list form: options = " +
                                  tomlInline(rejoinedOptions(pieces)));
    }
}

// The pieces of an option text with each one that is no option (no "-" in front, not
// the file of an include) joined to the option before it: what a text that a space
// split most likely meant.
toml::array Loader::rejoinedOptions(const std::vector<std::string>& pieces) {
    std::vector<std::string> options;
    for (const std::string& piece : pieces) {
        if (!piece.empty() && piece[0] != '-' && !options.empty() && options.back() != "-include-options")
            options.back() += " " + piece;
        else
            options.push_back(piece);
    }
    toml::array joined;
    for (const std::string& option : options) joined.push_back(option);
    return joined;
}

// Whether the launcher redirects through `key`: nothing to say when [keys] set it.
std::optional<bool> Loader::redirected(int32_t key) const {
    auto it = origins_.find(key);
    if (it == origins_.end()) return false;
    if (!it->second.readable) return std::nullopt;
    return it->second.value->as_boolean()->get();
}

// A redirect without a file, and a file or append switch without a redirect.
void Loader::checkRedirects() {
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
void Loader::addRuntimeLibrary() {
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
                         "(looked for " + format::pathText(inputs_.runtimeLibrary) + "); set " + off +
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

void Loader::addSubfolderArchives() {
    std::vector<std::string> names;
    for (const auto& file : plan_.files)
        if (std::ranges::find(modularFiles_, file.name) == modularFiles_.end()) names.push_back(file.name);
    std::string entries = subfolderArchiveEntries(names);
    if (entries.empty()) return;
    const std::string setting = "classpath." + std::string(kSubfolderArchivesSetting);
    if (!subfolderArchives_.value_or(defaults_)) {
        if (subfolderArchives_) return;
        size_t first = std::ranges::find_if(plan_.files, [&](const format::IncludedFile& file) {
                           return !subfolderArchiveEntries({file.name}).empty() &&
                                  std::ranges::find(modularFiles_, file.name) == modularFiles_.end();
                       }) - plan_.files.begin();
        warning(fileTables_[first]->source().begin.line,
                "files[" + std::to_string(first) + "].name: \"" + plan_.files[first].name + "\" is an archive in a sub-folder of "
                "the temporary directory, where the launcher looks for none; set " + setting +
                " = true to put such archives on the class path");
        return;
    }
    if (auto raw = origins_.find(key::ClassPath); raw != origins_.end() && !raw->second.readable) return;
    try {
        std::string stored = toCodePage(entries, cp_);
        if (auto given = strings_.find(key::ClassPath); given != strings_.end() && !given->second.empty())
            stored += ";" + given->second;
        if (stored.size() >= kLauncherTextCapacity)
            problem(readable(key::ClassPath) ? readable(key::ClassPath)->value : nullptr,
                    "the class path entries with the included archives of sub-folders would be " +
                        std::to_string(stored.size()) + " bytes; the launcher reads at most " +
                        std::to_string(kLauncherTextCapacity - 1) + " (set " + setting + " = false)");
        else
            strings_[key::ClassPath] = std::move(stored);
    } catch (const SettingError&) {
        // A name without a byte in the code page was reported when [[files]] was read.
    }
}

void Loader::addDefaults() {
    for (const Setting& setting : allSettings())
        if (setting.defaultText && !strings_.contains(setting.key))
            strings_[setting.key] = toCodePage(defaultTextFor(setting, strings_), cp_);
    // Only beside a download page, so that a launcher without one carries what it did.
    if (strings_.contains(key::DownloadUrl) && !strings_.contains(msg::OpenDownloadUrl))
        strings_[msg::OpenDownloadUrl] = toCodePage(kOpenDownloadUrlText, cp_);
}

void Loader::loadFiles(const toml::node& node) {
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

format::IncludedFile Loader::loadFile(const toml::table& file, const std::string& name) {
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
        included.source = file_.parent_path() / format::pathFromUtf8(text);
        checkSource(text, included.source);
    });
    const toml::node* given = file.get("name");
    guarded(given ? *given : *source, name + ".name", [&] {
        // Without a name the file lands at the top of the temporary directory.
        std::string text = given ? requireString(*given) : format::pathText(format::pathFromUtf8(requireString(*source)).filename());
        included.name = normaliseIncludedName(text);
    });
    return included;
}

// The source must be a file that can be read to its end; the message names the path
// that was tried, since a relative source is taken from the configuration's directory.
void Loader::checkSource(const std::string& text, const fs::path& path) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    std::string tried = " (looked for " + format::pathText(fs::absolute(path, ec).lexically_normal()) + ")";
    switch (status.type()) {
    case fs::file_type::regular: return;
    case fs::file_type::not_found: throw SettingError("included file '" + text + "' not found" + tried);
    case fs::file_type::directory:
        throw SettingError("'" + text + "' is a directory" + tried + "; include each of its files on its own");
    case fs::file_type::none: throw SettingError("cannot read '" + text + "'" + tried + ": " + ec.message());
    default: throw SettingError("'" + text + "' is not a regular file" + tried);
    }
}

}  // namespace kestro::tool::loading
