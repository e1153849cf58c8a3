#include "vm/class_path.h"

#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "startup/launcher_state.h"

namespace kestro {

namespace {

enum class EntryState { Found, NotFound, VariableMissing };

// An environment entry: the value without enclosing double quotes, then ";" unless it
// ends with one. An unset or empty variable adds nothing; a mandatory entry then misses
// its variable, since an empty value puts nothing on the class path.
EntryState appendVariable(std::string& classPath, const std::string& name, bool mandatory, const VmSystem& system) {
    std::string value = system.environment(name.c_str()).value_or(std::string());
    if (value.empty()) return mandatory ? EntryState::VariableMissing : EntryState::Found;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    classPath += value;
    if (value.empty() || value.back() != ';') classPath += ';';
    return EntryState::Found;
}

EntryState appendEntry(std::string& classPath, char type, const std::string& name, bool mandatory,
                       const VmSystem& system) {
    bool found = false;
    switch (type) {
    case 'A':
    case 'D': {
        // The path is on the class path even when it does not exist.
        std::string resolved = system.resolveList(name);
        classPath += resolved + ";";
        found = system.exists(resolved);
        break;
    }
    case 'E': return appendVariable(classPath, name, mandatory, system);
    case 'S': {
        std::string directory = system.resolve(name, nullptr);
        bool jars = appendArchives(classPath, directory, "jar", system);
        bool zips = appendArchives(classPath, directory, "zip", system);
        found = jars || zips;
        break;
    }
    default: break;  // an unknown kind adds nothing; a mandatory one cannot be satisfied
    }
    return found ? EntryState::Found : EntryState::NotFound;
}

}  // namespace

std::vector<std::string> listMatchingFiles(const std::string& directory, const std::string& extension,
                                           const VmSystem& system) {
    std::string pattern = directory + "\\*" + (extension.starts_with('.') ? "" : ".") + extension;
    std::vector<std::string> names = system.listDirectory(pattern);
    for (std::string& name : names) name = truncated(std::move(name));
    return names;
}

bool appendArchives(std::string& classPath, const std::string& directory, const std::string& extension,
                    const VmSystem& system) {
    if (!system.exists(directory)) return false;
    for (const std::string& name : listMatchingFiles(directory, extension, system))
        classPath += system.resolve(directory + "\\" + name, nullptr) + ";";
    return true;
}

void appendRuntimeJar(std::string& classPath, const VmSystem& system) {
    if (!velmoraMode()) return;
    classPath += system.fullPath(lookupString(key::ApplicationDirectory), true);
    if (classPath.back() != '\\') classPath += '\\';
    classPath += ".velmora\\vlmruntime.jar;";
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
        EntryState state = appendEntry(classPath, type, name, mandatory, system);
        if (state == EntryState::VariableMissing) return ClassPathFailure{msg::VariableUndefined, name};
        if (mandatory && state == EntryState::NotFound) return ClassPathFailure{msg::ClassPathEntryMissing, name};
    }
    return std::nullopt;
}

std::optional<ClassPathFailure> buildClassPath(const ClassPathDirectives& directives, std::string& option,
                                               const VmSystem& system) {
    option = "-Djava.class.path=";
    if (directives.prefix) option += *directives.prefix + ";";
    // Without a temporary directory there is nothing of ours to search: "\user" would
    // be a directory at the root of the current drive that anyone may create.
    const std::string& tempDir = system.tempDir();
    if (!tempDir.empty()) {
        const std::string user = tempDir + "\\user";
        for (const std::string* directory : {&tempDir, &user}) {
            appendArchives(option, *directory, "jar", system);
            appendArchives(option, *directory, "zip", system);
        }
    }
    appendRuntimeJar(option, system);
    if (directives.replacement) {
        option += *directives.replacement;
    } else if (std::optional<ClassPathFailure> failure = appendConfiguredEntries(option, system)) {
        return failure;
    }
    if (directives.suffix) {
        if (option.back() != ';') option += ';';
        option += *directives.suffix;
    }
    // The option's buffer ends here; the VM gets the text up to that point.
    if (option.size() > kClassPathCapacity - 1) {
        traceError("class path of %d bytes cut to %d bytes", int(option.size()), int(kClassPathCapacity - 1));
        option.resize(kClassPathCapacity - 1);
    }
    return std::nullopt;
}

}  // namespace kestro
