#include <windows.h>

#include "common/environment.h"
#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "runtime/candidate_check.h"
#include "runtime/packed_runtime.h"
#include "runtime/search_list.h"
#include "runtime/passed_over.h"
#include "runtime/version_cache.h"
#include "runtime/version_probe.h"
#include "runtime/vm_library_machine.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A GUI launcher runs the runtime's windowed executable beside the console one. A path
// that already names it stays as it is.
bool switchToWindowedJava(std::string& javaExe) {
    if (!endsWith(javaExe, "javaw.exe")) {
        if (javaExe.size() < 4) return false;
        javaExe.replace(javaExe.size() - 4, 4, "w.exe");
    }
    return pathExists(javaExe);
}

// The java executable below `home` and whether the home qualifies (see javaExeForHome).
bool deriveJavaExe(std::string& javaExe, const std::string& home) {
    std::string embedded = truncated(home + "\\jre\\bin\\java.exe");
    javaExe = pathExists(embedded) ? embedded : truncated(home + "\\bin\\java.exe");
    if (lookupInt(key::RequireJdk) == 0) return true;
    // JDKs up to 8 carry lib\tools.jar and an embedded jre; later ones have neither, but
    // every JDK has its compiler.
    return pathExists(home + "\\lib\\tools.jar") || pathExists(home + "\\bin\\javac.exe");
}

}  // namespace

bool checkJavaExe(std::string& javaExe, std::string& version, const std::string& lowerBound,
                  const std::string& upperBound, bool allowPrerelease) {
    trace("checkJavaExe (%s, [out], %s, %s, %d)", javaExe.c_str(), lowerBound.c_str(), upperBound.c_str(),
          int(allowPrerelease));
    javaExe = truncated(fullPath(javaExe, false));
    bool result = false;
    uint64_t lastWrite = 0;
    version.clear();
    std::string refused;
    bool exists = findFileTime(javaExe, &lastWrite);
    if (!exists) {
        trace("file doesn't exist");
        refused = "no java executable";
    } else {
        trace("file exists");
        bool known = readCachedVersion(javaExe, lastWrite, version) && version != kFailedProbeVersion;
        if (known) {
            trace("got version from registry %s", version.c_str());
        } else {
            version.clear();
            known = probeJavaVersion(javaExe, lastWrite, version);
            if (known) {
                trace("got version from execution %s", version.c_str());
                writeCachedVersion(javaExe, lastWrite, version);
            } else {
                trace("couldn't get version");
                refused = "the version probe failed";
            }
        }
        result = known && acceptVersion(version, lowerBound, upperBound, allowPrerelease, &refused);
        // Only a runtime that would be chosen has its VM library's header read.
        if (result) {
            if (std::optional<std::string> machine = vmLibraryRefusalOf(javaExe)) {
                result = false;
                refused = *machine;
            }
        }
        if (result && lookupInt(key::ApplicationType) == key::TypeGui && !switchToWindowedJava(javaExe)) {
            result = false;
            refused = "no java executable";
        }
    }
    if (!result) {
        trace("Passed over %s: %s", javaExe.c_str(), refused.c_str());
        // A place without a java executable holds no runtime to tell the user about.
        if (exists) notePassedOver(javaExe, refused);
    }
    trace("checkJavaExe returning %d", int(result));
    return result;
}

bool javaExeForHome(std::string& javaExe, const std::string& home) {
    if (deriveJavaExe(javaExe, home)) return true;
    trace("Passed over %s: a JDK is required and it has neither lib\\tools.jar nor bin\\javac.exe", home.c_str());
    notePassedOver(home, "not a JDK");
    return false;
}

bool checkRuntimeDirectory(std::string& javaExe, const std::string& directory, const std::string& lowerBound,
                           const std::string& upperBound, bool lenient) {
    std::string home = truncated(fullPath(directory, false));
    unpackPackedRuntime(home);
    if (lenient) {
        (void)deriveJavaExe(javaExe, home);
        return true;
    }
    std::string version;
    return javaExeForHome(javaExe, home) && checkJavaExe(javaExe, version, lowerBound, upperBound, true);
}

bool checkRuntimeVariable(std::string& javaExe, const char* name, const std::string& lowerBound,
                          const std::string& upperBound) {
    std::string home = environmentVariable(name);
    if (home.empty()) return false;
    for (char& c : home)
        if (c == '/') c = '\\';
    std::string version;
    return javaExeForHome(javaExe, home) && checkJavaExe(javaExe, version, lowerBound, upperBound, false);
}

bool findJavaOnPath(std::string& javaExe, const std::string& lowerBound, const std::string& upperBound) {
    // Not SearchPathA: it looks in the current directory too, where a download folder
    // or a share may hold a planted java.exe that the version probe would run.
    std::string system(kTextCapacity, '\0');
    UINT n = GetSystemDirectoryA(system.data(), UINT(system.size()));
    system.resize(n < system.size() ? n : 0);
    std::string path = directoryListValue("PATH").value_or(std::string());
    bool found = false;
    for (const std::string& directory : javaSearchDirectories(moduleDirectory(), {system, windowsDirectory()}, path)) {
        std::string candidate = childPath(directory, "java.exe");
        if (candidate.size() < kTextCapacity && pathExists(candidate)) {
            javaExe = std::move(candidate);
            found = true;
            break;
        }
    }
    if (!found) return false;
    std::string version;
    return checkJavaExe(javaExe, version, lowerBound, upperBound, false);
}

}  // namespace kestro
