#include "runtime/load_dll.h"

#include "common/environment.h"
#include "config/config_tables.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
#include "host/library_path.h"
#include "runtime/passed_over.h"
#include "runtime/runtime_home.h"
#include "runtime/runtime_library.h"
#include "runtime/runtime_search.h"
#include "runtime/search_list.h"
#include "runtime/vm_library_machine.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

constexpr size_t kPreferredVmCapacity = 200;

CreateJavaVmFn& entryPoint() {
    static CreateJavaVmFn entry = nullptr;
    return entry;
}

// The whole value, in UTF-16: a PATH cut to a fixed buffer, or passed through the code
// page, would be written back changed.
Utf16 currentPath() { return environmentValueUtf16("PATH").value_or(Utf16()); }

// Sets PATH in the process environment and in the C runtime's own table.
void setPath(const Utf16& value) {
    std::string shown = toFileSystemText(value);
    if (setEnvironmentValue("PATH", value)) {
        trace("Setting PATH %s", shown.c_str());
    } else {
        DWORD error = GetLastError();
        trace("Setting PATH %s failed with error %d", shown.c_str(), int(error));
    }
}

// One runtime's attempt: its bin directory on PATH, then the VM sub-directories.
HMODULE loadFromRuntime(const std::string& javaExe) {
    std::string bin = javaBinDirectory(javaExe);
    Utf16 oldPath = currentPath();
    // Beyond the system's limit PATH would not be set at all (or, under Wine, be set
    // mangled), and the VM library's neighbours in bin would not be found.
    WidePathValue path = pathWithDirectoryAppended(Utf16View(oldPath), Utf16View(fromFileSystemText(bin)));
    if (path.shortened)
        traceError("PATH would exceed %d characters; its last entries are left out for %s", int(kPathValueLimit),
                   bin.c_str());
    setPath(path.value);
    HMODULE module = nullptr;
    std::string preferred = lookupString(key::PreferredVm, kPreferredVmCapacity);
    if (!preferred.empty()) module = tryJvmLibrary(bin, preferred);
    for (const char* sub : kVmSubDirectories)
        if (!module) module = tryJvmLibrary(bin, sub);
    if (!module) setPath(oldPath);
    return module;
}

void reportUnloadable(RuntimeLocationKind kind, const std::string& location) {
    switch (kind) {
    case RuntimeLocationKind::OnPath: reportNoRuntimeFound(); break;
    case RuntimeLocationKind::EnvironmentVariable: showMessage(msg::BadJavaHomeVariable, location.c_str()); break;
    case RuntimeLocationKind::Directory: showMessage(msg::DamagedJvm, location.c_str()); break;
    case RuntimeLocationKind::Registered: showMessage(msg::JvmStartFailed); break;
    case RuntimeLocationKind::NotFound: break;
    }
}

}  // namespace

CreateJavaVmFn createJavaVmEntry() { return entryPoint(); }

HMODULE tryJvmLibrary(const std::string& binDirectory, std::string_view subDirectory) {
    std::string path = binDirectory;
    path += '\\';
    path += subDirectory;
    path += "\\jvm.dll";
    bool exists = pathExists(path);
    trace("Trying %s (exists %d)", path.c_str(), exists ? 1 : 0);
    HMODULE module = loadRuntimeLibrary(path, binDirectory);
    DWORD error = GetLastError();
    if (exists && !module) trace("Failed with error code %d", int(error));
    return module;
}

HMODULE loadJvmLibrary(const std::string& javaExe) {
    HMODULE module = loadFromRuntime(javaExe);
    if (!module) module = loadFromRuntime(embeddedRuntimeJava(javaExe));
    if (!module) trace("%s has no VM library that loads", javaExe.c_str());
    return module;
}

bool LoadDLL() {
    trace("LoadDLL (%d, %s, %d)", 1, static_cast<const char*>(nullptr), 0);
    std::string javaExe, location;
    RuntimeLocationKind kind = findRuntime(javaExe, location);
    if (kind == RuntimeLocationKind::NotFound) {
        traceError("No JVM found");
        reportNoRuntimeFound();
        return false;
    }
    trace("Trying to load JVM-DLL from %s", javaExe.c_str());
    // The VM library stays loaded for the life of the process.
    HMODULE module = loadJvmLibrary(javaExe);
    runtimeHome() = runtimeHomeOf(javaExe);
    if (!module) traceError("Could not get DLL-Handle.");
    FARPROC entry = module ? GetProcAddress(module, "JNI_CreateJavaVM") : nullptr;
    if (!entry) {
        traceError("Could not load functions");
        reportUnloadable(kind, location);
        return false;
    }
    entryPoint() = reinterpret_cast<CreateJavaVmFn>(reinterpret_cast<void (*)()>(entry));
    trace("Loading of JVM-DLL successful");
    return true;
}

}  // namespace kestro
