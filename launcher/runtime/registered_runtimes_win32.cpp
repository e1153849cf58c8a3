#include "runtime/registered_runtimes.h"

#include <algorithm>

#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "runtime/candidate_check.h"
#include "runtime/registry_order.h"
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

// The runtime whose "JavaHome" the key holds, checked with the pre-release filter on.
bool checkRegisteredHome(HKEY key, std::string& javaExe, std::string& version, const std::string& lower,
                         const std::string& upper) {
    std::string home;
    if (!readRegistryString(key, "JavaHome", kTextCapacity, home)) return false;
    return javaExeForHome(javaExe, home) && checkJavaExe(javaExe, version, lower, upper, false);
}

}  // namespace

bool findRegistryRuntime(std::string& javaExe, const std::string& lower, const std::string& upper) {
    std::string registeredExe, registeredVersion, locatedExe, locatedVersion;
    bool registered = findRegisteredRuntime(registeredExe, registeredVersion, lower, upper);
    bool located = findLocatedRuntime(locatedExe, locatedVersion, lower, upper);
    if (registered) trace("found sun %s %s", registeredExe.c_str(), registeredVersion.c_str());
    if (located) trace("found located %s %s", locatedExe.c_str(), locatedVersion.c_str());
    if (!registered && !located) return false;
    bool takeRegistered = registered && (!located || versionGreater(registeredVersion, locatedVersion));
    javaExe = takeRegistered ? registeredExe : locatedExe;
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
    std::string path = std::string(useJdk ? kJdkFamily : kJreFamily) + "\\" + (useJdk ? jdk : jre);
    UniqueKey key = openRegistryKey(HKEY_LOCAL_MACHINE, path);
    return key && checkRegisteredHome(key.get(), javaExe, version, lower, upper);
}

bool findNewestRegisteredRuntime(const char* familyKey, std::string& javaExe, std::string& version,
                                 const std::string& lower, const std::string& upper) {
    UniqueKey family = openRegistryKey(HKEY_LOCAL_MACHINE, familyKey);
    if (!family) return false;
    for (const std::string& name : namesToTry(registrySubKeyNames(family.get()), lower, upper)) {
        UniqueKey key = openRegistryKey(family.get(), name);
        if (key && checkRegisteredHome(key.get(), javaExe, version, lower, upper)) return true;
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
