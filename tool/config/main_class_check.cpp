#include "tool/config/main_class_check.h"

#include <algorithm>

#include "format/config_keys.h"
#include "format/native_file.h"
#include "tool/archive/zip_directory.h"
#include "tool/config/loader.h"
#include "tool/text/code_page.h"
#include "tool/text/suggestion.h"

namespace kestro::tool {

namespace {

constexpr std::string_view kClassSuffix = ".class";

std::string simpleName(const std::string& name) { return name.substr(name.find_last_of('.') + 1); }

// The class an entry holds, dotted; "META-INF/versions/N/" in front is a class of a
// multi-release archive, which a runtime of that version loads. Nothing for other entries.
std::optional<std::string> className(std::string_view entry) {
    if (!entry.ends_with(kClassSuffix)) return std::nullopt;
    entry.remove_suffix(kClassSuffix.size());
    constexpr std::string_view versions = "META-INF/versions/";
    if (entry.starts_with(versions)) {
        size_t slash = entry.find('/', versions.size());
        if (slash == std::string_view::npos) return std::nullopt;
        entry.remove_prefix(slash + 1);
    }
    if (entry.starts_with("META-INF/")) return std::nullopt;
    std::string name(entry);
    std::ranges::replace(name, '/', '.');
    return name;
}

}  // namespace

MainClassSearch findMainClass(std::string_view mainClass, const std::vector<ClassSource>& sources) {
    std::string wanted(mainClass);
    std::ranges::replace(wanted, '/', '.');
    std::vector<std::string> classes;
    for (const ClassSource& source : sources)
        for (const std::string& entry : source.entries) {
            std::optional<std::string> name = className(entry);
            if (!name) continue;
            if (*name == wanted) return {.found = true, .nearest = std::nullopt};
            classes.push_back(std::move(*name));
        }
    MainClassSearch search;
    search.nearest = closestName(wanted, classes);
    if (search.nearest) return search;
    std::vector<std::string> simpleNames;
    for (const std::string& name : classes) simpleNames.push_back(simpleName(name));
    if (std::optional<std::string> own = closestName(simpleName(wanted), simpleNames))
        search.nearest = classes[size_t(std::ranges::find(simpleNames, *own) - simpleNames.begin())];
    return search;
}

namespace loading {

namespace {

namespace fs = std::filesystem;

bool isArchiveName(std::string name) {
    std::ranges::transform(name, name.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return name.ends_with(".jar") || name.ends_with(".zip");
}

// A directory of classes: its .class files' names relative to it, with "/". A tree
// too large to be a class directory is left unread.
std::optional<std::vector<std::string>> classFiles(const fs::path& directory) {
    constexpr size_t kMostFiles = 100000;
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(directory, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (names.size() == kMostFiles) return std::nullopt;
        if (it->is_regular_file(ec) && it->path().extension() == kClassSuffix)
            names.push_back(format::genericPathText(it->path().lexically_relative(directory)));
    }
    if (ec) return std::nullopt;
    return names;
}

// Where the launcher takes a relative class path entry from: the launcher's directory.
fs::path besideLauncher(const fs::path& output, std::string name) {
    std::ranges::replace(name, '\\', '/');
    return output.parent_path() / format::pathFromUtf8(name);
}

}  // namespace

// A main class that none of the archives holds makes every start end with "Couldn't load
// main class"; the build says so while the misspelling is still in front of the user.
// Anything the build cannot read (a damaged archive, a tree too large) might hold the
// class, and then nothing is said; so too when there is nothing to look in.
void Loader::checkMainClassFound() {
    auto mainClass = strings_.find(key::MainClass);
    auto origin = origins_.find(key::MainClass);
    if (inputs_.output.empty() || !problems_.empty() || mainClass == strings_.end() || origin == origins_.end())
        return;
    std::vector<ClassSource> sources;
    bool unreadable = false;
    auto addArchive = [&](const std::string& name, const fs::path& path) {
        if (std::optional<std::vector<std::string>> entries = zipEntryNames(path))
            sources.push_back({name, std::move(*entries)});
        else
            unreadable = true;
    };
    // The runtime library holds no application class, whether the build adds it or the
    // file lists it by its name (as a configuration printed by inspect --toml does).
    for (const format::IncludedFile& file : plan_.files)
        if (isArchiveName(file.name) && file.source != inputs_.runtimeLibrary && file.name != kRuntimeLibraryName)
            addArchive(file.name, file.source);
    std::string classPath = fromCodePage(strings_.contains(key::ClassPath) ? strings_[key::ClassPath] : "", cp_)
                                .value_or("");
    for (size_t from = 0; from < classPath.size();) {
        size_t end = std::min(classPath.find(';', from), classPath.size());
        std::string entry = classPath.substr(from, end - from);
        from = end + 1;
        // Variables have their values only where the launcher runs.
        if (entry.size() < 3 || entry.find('%') != std::string::npos || entry.find("${") != std::string::npos)
            continue;
        std::string name = entry.substr(2);
        fs::path path = besideLauncher(inputs_.output, name);
        std::error_code ec;
        if (entry[0] == 'A' && fs::is_regular_file(path, ec)) {
            addArchive(name, path);
        } else if (entry[0] == 'D' && fs::is_directory(path, ec)) {
            if (std::optional<std::vector<std::string>> entries = classFiles(path))
                sources.push_back({name, std::move(*entries)});
            else
                unreadable = true;
        } else if (entry[0] == 'S' && fs::is_directory(path, ec)) {
            std::vector<fs::path> archives;
            for (const fs::directory_entry& found : fs::directory_iterator(path, ec))
                if (found.is_regular_file(ec) && isArchiveName(format::pathText(found.path().filename())))
                    archives.push_back(found.path());
            std::ranges::sort(archives);
            for (const fs::path& archive : archives)
                addArchive((name.ends_with('\\') ? name : name + "\\") + format::pathText(archive.filename()), archive);
        }
    }
    if (unreadable || sources.empty()) return;
    std::string wanted = fromCodePage(mainClass->second, cp_).value_or(mainClass->second);
    MainClassSearch search = findMainClass(wanted, sources);
    if (search.found) return;
    std::string places;
    for (size_t i = 0; i < sources.size() && i < 3; ++i)
        places += (i == 0 ? "" : i + 1 == sources.size() ? " and " : ", ") + sources[i].name;
    if (sources.size() > 3) places += " and " + std::to_string(sources.size() - 3) + " more";
    warning(origin->second.line, origin->second.setting + ": " + wanted +
                                     " is in none of the archives that kestro build can see" +
                                     didYouMean(search.nearest) + "; it looked in " + places);
}

}  // namespace loading

}  // namespace kestro::tool
