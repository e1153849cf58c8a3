#include "runtime/search_list.h"

#include "common/text.h"
#include "workfiles/path_rules.h"

namespace kestro {

namespace {

size_t lastComponentLength(std::string_view javaExe) {
    constexpr std::string_view gui = "javaw.exe", console = "java.exe";
    bool isGui = javaExe.size() >= gui.size() && javaExe.substr(javaExe.size() - gui.size()) == gui;
    size_t length = isGui ? gui.size() : console.size();
    return length < javaExe.size() ? length : javaExe.size();
}

}  // namespace

std::vector<SearchEntry> parseSearchList(std::string_view list) {
    std::vector<SearchEntry> entries;
    for (const std::string& item : splitList(list)) entries.push_back({item[0], item.substr(1)});
    return entries;
}

bool isRelativeSearchValue(std::string_view value) {
    if (value.size() < 2) return true;
    return !(value[1] == ':' || (value[0] == '\\' && value[1] == '\\'));
}

bool triedInFallbackPass(const SearchEntry& entry) {
    switch (entry.kind) {
    case 'B': return true;
    case 'A':
    case 'R': return isRelativeSearchValue(entry.value);
    default: return false;
    }
}

std::string javaBinDirectory(std::string_view javaExe) {
    size_t keep = javaExe.size() - lastComponentLength(javaExe);
    return std::string(javaExe.substr(0, keep ? keep - 1 : 0));
}

std::string runtimeHomeOf(std::string_view javaExe) {
    std::string home(javaExe.substr(0, javaExe.size() - lastComponentLength(javaExe)));
    home += "..";
    return home;
}

std::string embeddedRuntimeJava(std::string_view javaExe) {
    std::string path = directoryPart(javaExe);
    path += "..\\jre\\bin\\java.exe";
    return path;
}

std::string withoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

std::vector<std::string> javaSearchDirectories(std::string_view launcherDirectory,
                                               const std::vector<std::string>& systemDirectories,
                                               std::string_view path) {
    std::vector<std::string> directories;
    if (!launcherDirectory.empty()) directories.push_back(withoutTrailingBackslash(launcherDirectory));
    for (const std::string& directory : systemDirectories)
        if (!directory.empty()) directories.push_back(withoutTrailingBackslash(directory));
    for (std::string entry : splitList(path)) {
        if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') entry = entry.substr(1, entry.size() - 2);
        if (!entry.empty() && !isRelativePath(entry)) directories.push_back(withoutTrailingBackslash(entry));
    }
    return directories;
}

}  // namespace kestro
