#include "runtime/registered_runtimes.h"

#include <algorithm>

#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "runtime/candidate_check.h"
#include "runtime/registry_order.h"
#include "runtime/registry_sources.h"
#include "runtime/registry_win32.h"

namespace kestro {

namespace {

constexpr char kJdkFamily[] = "SOFTWARE\\JavaSoft\\Java Development Kit";
constexpr char kJreFamily[] = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
constexpr char kLocatedRuntimes[] = "SOFTWARE\\quenfield\\kestro\\locatedjvms\\";
constexpr size_t kCurrentVersionCapacity = 100;

bool jdkRequired() { return lookupInt(key::RequireJdk) != 0; }

// A family's "CurrentVersion" when it can be read and lies within the bounds; else empty.
std::string currentVersionOf(const char* family, const std::string& lower, const std::string& upper) {
    std::string value;
    UniqueKey key = openRegistryKey(HKEY_LOCAL_MACHINE, family);
    if (!key || !readRegistryString(key.get(), "CurrentVersion", kCurrentVersionCapacity, value)) return {};
    return keyNameInRange(value, lower, upper) ? value : std::string();
}

// The runtime whose home the key at `path` holds ("JavaHome", or an installer's "Path"),
// checked with the pre-release filter on. A key without the value is passed over with
// that reason.
bool checkRegisteredHome(HKEY key, const char* parent, const std::string& name, RegistryLayout layout,
                         std::string& javaExe, std::string& version, const std::string& lower,
                         const std::string& upper) {
    const char* value = layout == RegistryLayout::JavaHome         ? "JavaHome"
                        : layout == RegistryLayout::InstallationPath ? "InstallationPath"
                                                                     : "Path";
    std::string home;
    if (!readRegistryString(key, value, kTextCapacity, home)) {
        // The key's path is joined only for the trace: most keys have the value.
        trace("Passed over %s\\%s: no value %s", parent, name.c_str(), value);
        return false;
    }
    if (layout != RegistryLayout::JavaHome) home = homeFromInstallerPath(home);
    return javaExeForHome(javaExe, home) && checkJavaExe(javaExe, version, lower, upper, false);
}

// One version of an installer source: the first of its VM sub-keys whose runtime passes.
bool checkInstallerVersion(HKEY versionKey, const std::string& path, std::string& javaExe, std::string& version,
                           const std::string& lower, const std::string& upper) {
    for (const std::string& sub : registrySubKeyNames(versionKey)) {
        std::string msi = installerPathKey(sub);
        UniqueKey key = openRegistryKey(versionKey, msi);
        if (key && checkRegisteredHome(key.get(), path.c_str(), msi, RegistryLayout::InstallerPath, javaExe, version,
                                       lower, upper))
            return true;
    }
    return false;
}

// The newest of the runtimes of a source whose sub-keys are no versions: each is checked.
bool findNewestNamedRuntime(HKEY family, const char* familyPath, std::string& javaExe, std::string& version,
                            const std::string& lower, const std::string& upper) {
    bool found = false;
    for (const std::string& name : registrySubKeyNames(family)) {
        UniqueKey key = openRegistryKey(family, name);
        std::string candidateExe, candidateVersion;
        if (!key || !checkRegisteredHome(key.get(), familyPath, name, RegistryLayout::InstallationPath,
                                         candidateExe, candidateVersion, lower, upper))
            continue;
        // Of equal versions the first one enumerated stays.
        if (!found || versionGreater(candidateVersion, version)) {
            javaExe = std::move(candidateExe);
            version = std::move(candidateVersion);
            found = true;
        }
    }
    return found;
}

// The newest runtime of one of today's sources in `hive` that passes, its version keys
// tried from the newest.
bool findSourceRuntime(HKEY hive, const RegistrySource& source, std::string& javaExe, std::string& version,
                       const std::string& lower, const std::string& upper) {
    if (source.layout == RegistryLayout::JavaHome)
        return findNewestRegisteredRuntime(source.key, javaExe, version, lower, upper, hive);
    UniqueKey family = openRegistryKey(hive, source.key);
    if (!family) return false;
    if (source.layout == RegistryLayout::InstallationPath)
        return findNewestNamedRuntime(family.get(), source.key, javaExe, version, lower, upper);
    for (const std::string& name : versionKeysToTry(source, registrySubKeyNames(family.get()), lower, upper)) {
        UniqueKey key = openRegistryKey(family.get(), name);
        if (!key) continue;
        std::string path = source.key;
        path += '\\';
        path += name;
        if (checkInstallerVersion(key.get(), path, javaExe, version, lower, upper)) return true;
    }
    return false;
}

}  // namespace

bool findRegistryRuntime(std::string& javaExe, const std::string& lower, const std::string& upper) {
    FoundRuntime families;
    bool sun = findRegisteredRuntime(families.javaExe, families.version, lower, upper);
    struct SourceRuntime {
        const char* hive;  // the prefix the trace names the user's hive by
        const char* key;
        FoundRuntime found;
    };
    std::vector<SourceRuntime> today;  // by source
    // A per-user install registers in the user's hive; of equal versions the machine's,
    // read first, stays.
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (const RegistrySource& source : registrySources()) {
            FoundRuntime found;
            if ((source.runtimeOnly && jdkRequired()) || (hive == HKEY_CURRENT_USER && !source.perUser)) continue;
            if (findSourceRuntime(hive, source, found.javaExe, found.version, lower, upper))
                today.push_back({hive == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER\\" : "", source.key, std::move(found)});
        }
    }
    std::string locatedExe, locatedVersion;
    bool located = findLocatedRuntime(locatedExe, locatedVersion, lower, upper);
    std::vector<FoundRuntime> registered;
    if (sun) {
        trace("found sun %s %s", families.javaExe.c_str(), families.version.c_str());
        registered.push_back(std::move(families));
    }
    for (auto& [hive, source, found] : today) {
        trace("found %s%s %s %s", hive, source, found.javaExe.c_str(), found.version.c_str());
        registered.push_back(std::move(found));
    }
    if (located) trace("found located %s %s", locatedExe.c_str(), locatedVersion.c_str());
    const FoundRuntime* newest = newestRuntime(registered);
    if (!newest && !located) return false;
    bool takeRegistered = newest && (!located || versionGreater(newest->version, locatedVersion));
    javaExe = takeRegistered ? newest->javaExe : locatedExe;
    return true;
}

bool findRegisteredRuntime(std::string& javaExe, std::string& version, const std::string& lower,
                           const std::string& upper) {
    return findCurrentVersionRuntime(javaExe, version, lower, upper) ||
           (!jdkRequired() && findNewestRegisteredRuntime(kJreFamily, javaExe, version, lower, upper)) ||
           findNewestRegisteredRuntime(kJdkFamily, javaExe, version, lower, upper);
}

bool findCurrentVersionRuntime(std::string& javaExe, std::string& version, const std::string& lower,
                               const std::string& upper) {
    std::string jdk = currentVersionOf(kJdkFamily, lower, upper);
    // When a JDK is required, the JRE family is not consulted at all, not even through
    // its key as the fallback of two empty values.
    if (jdkRequired() && jdk.empty()) return false;
    std::string jre = jdkRequired() ? std::string() : currentVersionOf(kJreFamily, lower, upper);
    bool useJdk = versionGreater(jdk, jre);
    const char* family = useJdk ? kJdkFamily : kJreFamily;
    const std::string& name = useJdk ? jdk : jre;
    std::string path = family;
    path += '\\';
    path += name;
    UniqueKey key = openRegistryKey(HKEY_LOCAL_MACHINE, path);
    return key && checkRegisteredHome(key.get(), family, name, RegistryLayout::JavaHome, javaExe, version, lower, upper);
}

bool findNewestRegisteredRuntime(const char* familyKey, std::string& javaExe, std::string& version,
                                 const std::string& lower, const std::string& upper, HKEY hive) {
    UniqueKey family = openRegistryKey(hive, familyKey);
    if (!family) return false;
    for (const std::string& name : namesToTry(registrySubKeyNames(family.get()), lower, upper)) {
        UniqueKey key = openRegistryKey(family.get(), name);
        if (key && checkRegisteredHome(key.get(), familyKey, name, RegistryLayout::JavaHome, javaExe, version, lower,
                                       upper))
            return true;
    }
    return false;
}

bool findLocatedRuntime(std::string& javaExe, std::string& version, const std::string& lower,
                        const std::string& upper) {
    std::string userExe, userVersion, machineExe, machineVersion;
    bool user = scanLocatedRuntimes(HKEY_CURRENT_USER, userExe, userVersion, lower, upper);
    bool machine = scanLocatedRuntimes(HKEY_LOCAL_MACHINE, machineExe, machineVersion, lower, upper);
    if (!user && !machine) return false;
    bool takeUser = user && (!machine || versionGreater(userVersion, machineVersion));
    javaExe = takeUser ? userExe : machineExe;
    version = takeUser ? userVersion : machineVersion;
    return true;
}

bool scanLocatedRuntimes(HKEY hive, std::string& javaExe, std::string& version, const std::string& lower,
                         const std::string& upper) {
    version.clear();
    UniqueKey located = openRegistryKey(hive, kLocatedRuntimes);
    if (!located) return false;
    bool found = false;
    for (std::string name : registrySubKeyNames(located.get())) {
        std::replace(name.begin(), name.end(), '/', '\\');
        std::string candidateVersion;
        if (!checkJavaExe(name, candidateVersion, lower, upper, true)) continue;
        // Of equal versions the first one enumerated stays.
        if (versionGreater(candidateVersion, version)) {
            javaExe = name;
            version = candidateVersion;
            found = true;
        }
    }
    return found;
}

}  // namespace kestro
