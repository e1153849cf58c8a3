#include "runtime/runtime_search.h"

#include <cstdio>
#include <memory>

#include "common/text.h"
#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "runtime/candidate_check.h"
#include "runtime/registered_runtimes.h"
#include "runtime/registry_win32.h"
#include "runtime/search_list.h"
#include "vm/variable_expansion.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

constexpr char kInstallationsKey[] = "SOFTWARE\\quenfield\\velmora\\installations";

struct Bounds {
    std::string lower, upper;
};

// One entry of the main pass, with its value already expanded.
RuntimeLocationKind tryMainPassEntry(char kind, const std::string& value, const Bounds& b, std::string& javaExe) {
    switch (kind) {
    case 'A':
    case 'B':
    case 'R':
        return checkRuntimeDirectory(javaExe, value, b.lower, b.upper, false) ? RuntimeLocationKind::Directory
                                                                               : RuntimeLocationKind::NotFound;
    case 'E':
        return checkRuntimeVariable(javaExe, value.c_str(), b.lower, b.upper) ? RuntimeLocationKind::EnvironmentVariable
                                                                              : RuntimeLocationKind::NotFound;
    case 'S':
        return findJavaOnPath(javaExe, b.lower, b.upper) ? RuntimeLocationKind::OnPath : RuntimeLocationKind::NotFound;
    case 'Y':
        return findRegistryRuntime(javaExe, b.lower, b.upper) ? RuntimeLocationKind::Registered
                                                              : RuntimeLocationKind::NotFound;
    default: return RuntimeLocationKind::NotFound;  // an unknown letter is skipped
    }
}

bool tryHint(const char* fileName, const char* hasFormat, const char* usingText, const Bounds& b, std::string& javaExe,
             std::string& location) {
    std::optional<std::string> line = readRuntimeHint(fileName);
    if (!line) return false;
    trace(hasFormat, line->c_str());
    if (!checkRuntimeDirectory(javaExe, *line, b.lower, b.upper, false)) return false;
    trace(usingText);
    location = *line;
    return true;
}

bool tryFallbackPass(const std::vector<SearchEntry>& entries, const Bounds& b, std::string& javaExe,
                     std::string& location) {
    for (const SearchEntry& entry : entries) {
        if (!triedInFallbackPass(entry)) continue;
        trace("Testing relative location %s", entry.value.c_str());
        (void)checkRuntimeDirectory(javaExe, entry.value, b.lower, b.upper, true);
        if (pathExists(javaExe)) {
            trace("%s exists", javaExe.c_str());
            location = entry.value;
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<std::string> readRuntimeHint(const char* fileName) {
    std::string path = fullPath(lookupString(key::ApplicationDirectory), true);
    path += fileName;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "r"), std::fclose);
    if (!file) return std::nullopt;
    std::string line(kTextCapacity, '\0');
    if (!std::fgets(line.data(), int(line.size()), file.get())) return std::nullopt;
    line = withoutLineEnd(line.c_str());
    // An empty line names no place: taken as a location it would make the launcher's
    // own directory a runtime candidate.
    if (line.empty()) return std::nullopt;
    return line;
}

bool findPreviousInstallation(HKEY hive, std::string& javaExe, const std::string& lower, const std::string& upper) {
    std::string valueName = lookupString(key::InstallationsValue);
    if (valueName.empty()) return false;
    UniqueKey key = openRegistryKey(hive, kInstallationsKey);
    std::string installations;
    if (!key || !readRegistryString(key.get(), valueName.c_str(), kTextCapacity, installations) || installations.empty())
        return false;
    trace("found installations: %s", installations.c_str());
    for (const std::string& directory : splitList(installations)) {
        std::string version;
        if (javaExeForHome(javaExe, directory + "\\jre") && checkJavaExe(javaExe, version, lower, upper, false))
            return true;
    }
    return false;
}

RuntimeLocationKind findRuntime(std::string& javaExe, std::string& location) {
    trace("Searching for a JVM");
    std::string list = lookupString(key::SearchList);
    Bounds b{lookupString(key::MinVersion), lookupString(key::MaxVersion)};

    if (tryHint("\\.velmora\\pref_jre.cfg", "Has preferred location %s", "Using preferred location", b, javaExe,
                location))
        return RuntimeLocationKind::Directory;

    std::vector<SearchEntry> entries = parseSearchList(list);
    for (const SearchEntry& entry : entries) {
        std::string value = entry.value;
        expandVariables(value);
        trace("Testing location %s (type %c)", value.c_str(), entry.kind);
        RuntimeLocationKind kind = tryMainPassEntry(entry.kind, value, b, javaExe);
        if (kind == RuntimeLocationKind::NotFound) continue;
        if (kind == RuntimeLocationKind::Directory || kind == RuntimeLocationKind::EnvironmentVariable) location = value;
        return kind;
    }

    if (tryHint("\\.velmora\\inst_jre.cfg", "Has installer location %s", "Using installer location", b, javaExe,
                location))
        return RuntimeLocationKind::Directory;
    if (tryFallbackPass(entries, b, javaExe, location)) return RuntimeLocationKind::Directory;
    if (findPreviousInstallation(HKEY_CURRENT_USER, javaExe, b.lower, b.upper)) {
        trace("found JRE from previous installation (user) %s", javaExe.c_str());
        return RuntimeLocationKind::Registered;
    }
    if (findPreviousInstallation(HKEY_LOCAL_MACHINE, javaExe, b.lower, b.upper)) {
        trace("found JRE from previous installation (machine) %s", javaExe.c_str());
        return RuntimeLocationKind::Registered;
    }
    trace("Search sequence finished");
    for (const char* variable : {"KESTRO_JAVA_HOME", "VELMORA_JAVA_HOME"}) {
        if (checkRuntimeVariable(javaExe, variable, b.lower, b.upper)) {
            location = variable;
            return RuntimeLocationKind::EnvironmentVariable;
        }
    }
    return RuntimeLocationKind::NotFound;
}

}  // namespace kestro
