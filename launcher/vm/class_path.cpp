#include "vm/class_path.h"

#include "common/text.h"
#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "startup/launcher_state.h"
#include "workfiles/path_rules.h"

namespace kestro {

namespace {

std::optional<ClassPathFailure> notFound(bool mandatory, std::string name) {
    if (!mandatory) return std::nullopt;
    return ClassPathFailure{msg::ClassPathEntryMissing, std::move(name)};
}

// An environment entry: the value without enclosing double quotes. An unset or empty
// variable adds nothing; a mandatory entry then misses its variable, since an empty
// value puts nothing on the class path.
std::optional<ClassPathFailure> appendVariable(std::string& classPath, const std::string& name, bool mandatory,
                                               const VmSystem& system) {
    std::string value = system.environment(name.c_str()).value_or(std::string());
    if (value.empty()) {
        if (!mandatory) return std::nullopt;
        return ClassPathFailure{msg::VariableUndefined, name};
    }
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value.pop_back();
        value.erase(0, 1);
    }
    classPath += value;
    classPath += ';';
    return std::nullopt;
}

std::optional<ClassPathFailure> appendEntry(std::string& classPath, char type, const std::string& name,
                                            bool mandatory, const VmSystem& system) {
    switch (type) {
    case 'A':
    case 'D': {
        // The paths are on the class path even when they do not exist. Each path of the
        // name (a variable may bring several) is tested on its own; the entry is found
        // when all of them are, and the first that is not names the entry.
        std::vector<std::string> paths = splitList(name);
        if (paths.empty()) return notFound(mandatory, name);
        const std::string* missing = nullptr;  // the first path not found, of `paths`
        for (const std::string& path : paths) {
            std::string resolved = system.resolve(path, nullptr);
            classPath += resolved;
            classPath += ';';
            if (!missing && !system.exists(withoutTrailingBackslash(resolved))) missing = &path;
        }
        return missing ? notFound(mandatory, *missing) : std::nullopt;
    }
    case 'E': return appendVariable(classPath, name, mandatory, system);
    case 'S': {
        std::string directory = system.resolve(name, nullptr);
        bool jars = appendArchives(classPath, directory, "jar", system);
        bool zips = appendArchives(classPath, directory, "zip", system);
        return jars || zips ? std::nullopt : notFound(mandatory, name);
    }
    default: return notFound(mandatory, name);  // an unknown kind adds nothing and cannot be satisfied
    }
}

// The list with every empty element left out: a VM reads an empty element as the
// current directory, which would load classes from wherever the user started the
// application (a download folder, a network share).
std::string withoutEmptyElements(const std::string& list) {
    std::string out;
    for (const std::string& element : splitList(list)) {
        if (!out.empty()) out += ';';
        out += element;
    }
    return out;
}

}  // namespace

std::vector<std::string> listMatchingFiles(const std::string& directory, const char* extension,
                                           const VmSystem& system) {
    std::string tail(extension[0] == '.' ? "" : ".");
    tail += extension;
    // The system's pattern also matches through 8.3 aliases: "b.jarx" and "c.jar_old"
    // (B~1.JAR) would bring disabled or backup archives onto the class path.
    std::vector<std::string> names;
    for (std::string& name : system.listDirectory(directory + "\\*" + tail))
        if (endsWithIgnoringCase(name, tail)) names.push_back(truncated(std::move(name)));
    return names;
}

bool appendArchives(std::string& classPath, const std::string& path, const char* extension,
                    const VmSystem& system) {
    // Written with a trailing backslash (as "%KESTRO_EXEDIR%" is), a directory still counts.
    std::string directory = withoutTrailingBackslash(path);
    if (!system.exists(directory)) return false;
    for (const std::string& name : listMatchingFiles(directory, extension, system))
    {
        classPath += system.resolve(directory + "\\" + name, nullptr);
        classPath += ';';
    }
    return true;
}

void appendRuntimeJar(std::string& classPath, const VmSystem& system) {
    if (!velmoraMode()) {
        // The kestro flavour's library, when it came from the per-user cache rather than
        // this run's directory (whose archives come before).
        if (const std::string& cached = system.runtimeLibrary(); !cached.empty()) {
            classPath += cached;
            classPath += ';';
        }
        return;
    }
    classPath += childPath(system.fullPath(lookupString(key::ApplicationDirectory), true), ".velmora\\vlmruntime.jar;");
}

std::optional<ClassPathFailure> appendConfiguredEntries(std::string& classPath, const VmSystem& system) {
    std::string entries = lookupString(key::ClassPath);
    trace("classpath entry %s", entries.c_str());
    for (const std::string& entry : splitList(entries)) {
        char type = entry[0];
        bool mandatory = entry.size() > 1 && entry[1] == '1';
        std::string name = entry.size() > 2 ? entry.substr(2) : std::string();
        system.expand(name);
        name = truncated(std::move(name));
        if (std::optional<ClassPathFailure> failure = appendEntry(classPath, type, name, mandatory, system))
            return failure;
    }
    return std::nullopt;
}

std::optional<ClassPathFailure> buildClassPath(const ClassPathDirectives& directives, std::string& option,
                                               const VmSystem& system) {
    std::string list;
    if (directives.prefix) {
        list += *directives.prefix;
        list += ';';
    }
    // Without a temporary directory there is nothing of ours to search: "\user" would
    // be a directory at the root of the current drive that anyone may create.
    const std::string& tempDir = system.tempDir();
    if (!tempDir.empty()) {
        const std::string user = tempDir + "\\user";
        for (const std::string* directory : {&tempDir, &user}) {
            appendArchives(list, *directory, "jar", system);
            appendArchives(list, *directory, "zip", system);
        }
    }
    appendRuntimeJar(list, system);
    if (directives.replacement) {
        list += *directives.replacement;
        list += ';';
    } else if (std::optional<ClassPathFailure> failure = appendConfiguredEntries(list, system)) {
        return failure;
    }
    if (directives.suffix) list += *directives.suffix;
    // Passed whole: the VM takes an option of any length, and a class path cut short
    // would lose entries or break a path. An empty one would be the current directory:
    // the executable, which holds no classes, stands in for nothing.
    list = withoutEmptyElements(list);
    option = "-Djava.class.path=" + (list.empty() ? system.modulePath() : list);
    return std::nullopt;
}

}  // namespace kestro
