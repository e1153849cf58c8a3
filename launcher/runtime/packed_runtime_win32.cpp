#include <windows.h>

#include <cstdio>
#include <iterator>

#include "common/child_process.h"
#include "common/win32_handles.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
#include "instance/instance_names.h"
#include "runtime/packed_runtime.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

// The order matters: jsse.jar comes last, so its presence marks a finished unpacking.
constexpr const char* kPackedJars[] = {
    "lib\\rt.jar",     "lib\\jfxrt.jar", "lib\\charsets.jar", "lib\\plugin.jar", "lib\\deploy.jar",
    "lib\\ext\\localedata.jar", "lib\\jsse.jar",
};

constexpr size_t kPackSuffixLength = 5;  // ".pack"

// A jar is written under this name first and takes its own only when unpack200 ended
// well: a jar cut short (unpack200 killed, out of disk) must never pass for restored.
constexpr const char* kPartSuffix = ".kst_part";

// unpack200 restores rt.jar in seconds; one that runs for minutes is stuck.
constexpr DWORD kUnpackLimitMs = 5 * 60 * 1000;

// One start at a time unpacks a runtime directory: two unpack200 writing the same jar
// would leave it damaged. Named as the instance objects are, after the directory's
// normalised path (lower-cased by the candidate check).
std::string unpackLockName(const std::string& runtimeDirectory) {
    return instanceObjectName(runtimeDirectory, false, "_unpack");
}

bool unpackedAlready(const std::string& runtimeDirectory) {
    return !pathExists(runtimeDirectory + "\\lib\\rt.jar.pack") || pathExists(runtimeDirectory + "\\lib\\jsse.jar");
}

}  // namespace

void unpackPackedRuntime(const std::string& runtimeDirectory) {
    if (unpackedAlready(runtimeDirectory)) return;
    UniqueHandle lock(CreateMutexA(nullptr, FALSE, unpackLockName(runtimeDirectory).c_str()));
    if (lock) {
        DWORD waited = WaitForSingleObject(lock.get(), kUnpackLimitMs * DWORD(std::size(kPackedJars)));
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
            trace("another start is still unpacking %s", runtimeDirectory.c_str());
            return;
        }
    }
    // Another start may have finished while this one waited.
    if (!unpackedAlready(runtimeDirectory)) {
        trace("Unpacking JRE");
        std::fputs("Preparing JRE ...\n", stdout);
        std::fflush(stdout);
        // jsse.jar, the mark of a finished unpacking, is made only when every jar before
        // it was restored.
        for (const char* jar : kPackedJars)
        {
            std::string packed = runtimeDirectory;
            packed += '\\';
            packed += jar;
            packed += ".pack";
            if (!unpackJar(runtimeDirectory, packed)) break;
        }
        trace("Unpacking JRE done");
    }
    if (lock) ReleaseMutex(lock.get());
}

bool unpackJar(const std::string& runtimeDirectory, const std::string& packedFile) {
    if (packedFile.size() < kPackSuffixLength) return true;
    std::string jar = packedFile.substr(0, packedFile.size() - kPackSuffixLength);
    if (!pathExists(packedFile)) {
        trace("pack path doesn't exists");
        return true;
    }
    std::string part = jar + kPartSuffix;
    DeleteFileA(part.c_str());  // left by a start that was killed, perhaps
    std::string tool = runtimeDirectory + "\\bin\\unpack200.exe";
    // The tool is named as the application; the command line holds only its arguments.
    // The packed file stays until its jar is in place: it is the only copy.
    std::string commandLine = "\"";
    commandLine += packedFile;
    commandLine += "\" \"";
    commandLine += part;
    commandLine += '"';
    trace("%s", tool.c_str());
    trace("%s", commandLine.c_str());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION child{};
    if (!startChildProcess(tool.c_str(), commandLine, startup, child, {}, CREATE_NO_WINDOW)) {
        DWORD error = GetLastError();
        trace("could not create unpack process");
        trace("CreateProcess failed with error %d", int(error));
        fatalMessage(msg::InternalError, "20");
    }
    UniqueHandle process(child.hProcess), thread(child.hThread);
    trace("waiting for unpack200 to finish");
    DWORD waited = WaitForSingleObject(process.get(), kUnpackLimitMs);
    DWORD exitCode = STILL_ACTIVE;
    if (waited != WAIT_OBJECT_0) {
        trace("unpack200 still runs after %d s, terminating it", int(kUnpackLimitMs / 1000));
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    } else {
        GetExitCodeProcess(process.get(), &exitCode);
    }
    trace("unpack done");

    if (exitCode != 0 || !pathExists(part) ||
        !MoveFileExA(part.c_str(), jar.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        trace("unpacked jar missing, keeping %s", packedFile.c_str());
        DeleteFileA(part.c_str());
        return false;
    }
    if (!DeleteFileA(packedFile.c_str())) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) trace("could not delete packed file (error %d)", int(error));
    }
    return true;
}

}  // namespace kestro
