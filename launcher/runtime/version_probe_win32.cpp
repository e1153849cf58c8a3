#include <windows.h>

#include <algorithm>

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

// Standard error of the probe: a fresh temporary file, inheritable by the child, that
// the system deletes once the last handle to it is closed, the child's and ours, even
// when the launcher is killed during the probe.
UniqueFile createOutputFile(const std::string& name) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    return UniqueFile(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

// The start of the output, at most kProbeOutputLimit bytes: the lines before the
// version line go with it. Read through our own handle: the file has no name to open
// any more once it is marked for deletion.
bool readOutput(HANDLE file, std::string& output) {
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    char buffer[4096];
    DWORD got = 0;
    while (output.size() < kProbeOutputLimit &&
           ReadFile(file, buffer, DWORD(std::min(sizeof buffer, kProbeOutputLimit - output.size())), &got, nullptr) &&
           got > 0)
        output.append(buffer, got);
    return true;
}

}  // namespace

bool probeJavaVersion(const std::string& javaExe, uint64_t lastWrite, std::string& version, uint32_t limitMs) {
    // Without a short form the long path serves; the quoting keeps it whole.
    std::string commandLine = probeCommandLine(shortPathName(javaExe).value_or(javaExe));
    std::string outputName = uniqueTempName();
    UniqueFile output = createOutputFile(outputName);
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
    // Only the output file goes to the child, and it opens no console window.
    if (!startChildProcess(nullptr, commandLine, startup, child, {output.get()}, CREATE_NO_WINDOW)) {
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

    std::string text;
    std::optional<std::string> found;
    if (exitCode == 0 && readOutput(output.get(), text)) found = versionFromProbeOutput(text);
    // Gone once the last handle is closed; Wine deletes it only by name.
    output.reset();
    DeleteFileA(outputName.c_str());
    if (!found) return false;
    version = std::move(*found);
    trace("Java version: %s", version.c_str());
    return true;
}

}  // namespace kestro
