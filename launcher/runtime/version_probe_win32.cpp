#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "common/child_process.h"
#include "common/win32_handles.h"
#include "diagnostics/trace.h"
#include "runtime/version_cache.h"
#include "runtime/version_probe.h"
#include "runtime/version_rules.h"
#include "workfiles/paths.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

// A terminated child lets go of the output file only once it has really ended.
constexpr DWORD kTerminationWaitMs = 5000;

// Standard error of the probe: a fresh temporary file, inheritable by the child.
UniqueHandle createOutputFile(const std::string& name) {
    UniqueFile file(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    HANDLE inheritable = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), file.get(), GetCurrentProcess(), &inheritable, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return {};
    return UniqueHandle(inheritable);
}

// The start of the output file, at most kProbeOutputLimit bytes: the lines before the
// version line go with it.
bool readOutput(const std::string& name, std::string& output) {
    FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) return false;
    char buffer[4096];
    size_t got = 0;
    while (output.size() < kProbeOutputLimit &&
           (got = std::fread(buffer, 1, std::min(sizeof buffer, kProbeOutputLimit - output.size()), file)) > 0)
        output.append(buffer, got);
    std::fclose(file);
    return true;
}

}  // namespace

bool probeJavaVersion(const std::string& javaExe, uint64_t lastWrite, std::string& version, uint32_t limitMs) {
    // Without a short form the long path serves; the quoting keeps it whole.
    std::string commandLine = probeCommandLine(shortPathName(javaExe).value_or(javaExe));
    std::string outputName = uniqueTempName();
    UniqueHandle output = createOutputFile(outputName);
    if (!output) {
        // Without somewhere to write, the child's answer could not be read.
        DeleteFileA(outputName.c_str());
        return false;
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdError = output.get();
    PROCESS_INFORMATION child{};
    if (!startChildProcess(nullptr, commandLine, startup, child)) {
        DWORD error = GetLastError();
        trace("Could not create process %s > %s (error %d)", commandLine.c_str(), outputName.c_str(), int(error));
        output.reset();
        DeleteFileA(outputName.c_str());
        return false;
    }
    UniqueHandle process(child.hProcess), thread(child.hThread);

    DWORD waited = WaitForSingleObject(process.get(), limitMs);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.get(), &exitCode);
    trace("Exit Code %d", int(exitCode));
    if (waited != WAIT_OBJECT_0 || exitCode == STILL_ACTIVE) {
        trace("Terminating process");
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), kTerminationWaitMs);
        exitCode = STILL_ACTIVE;  // a run cut short says nothing about the runtime: not cached
    } else if (exitCode != 0) {
        writeCachedVersion(javaExe, lastWrite, kFailedProbeVersion);
    }
    process.reset();
    thread.reset();
    output.reset();

    std::string text;
    std::optional<std::string> found;
    if (exitCode == 0 && readOutput(outputName, text)) found = versionFromProbeOutput(text);
    DeleteFileA(outputName.c_str());
    if (!found) return false;
    version = std::move(*found);
    trace("Java version: %s", version.c_str());
    return true;
}

}  // namespace kestro
