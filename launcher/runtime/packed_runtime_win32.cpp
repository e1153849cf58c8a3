#include <windows.h>

#include <cstdio>

#include "common/child_process.h"
#include "common/win32_handles.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
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

}  // namespace

void unpackPackedRuntime(const std::string& runtimeDirectory) {
    if (!pathExists(runtimeDirectory + "\\lib\\rt.jar.pack") || pathExists(runtimeDirectory + "\\lib\\jsse.jar"))
        return;
    trace("Unpacking JRE");
    std::fputs("Preparing JRE ...\n", stdout);
    std::fflush(stdout);
    for (const char* jar : kPackedJars) unpackJar(runtimeDirectory, runtimeDirectory + "\\" + jar + ".pack");
    trace("Unpacking JRE done");
}

void unpackJar(const std::string& runtimeDirectory, const std::string& packedFile) {
    if (packedFile.size() < kPackSuffixLength) return;
    std::string jar = packedFile.substr(0, packedFile.size() - kPackSuffixLength);
    if (!pathExists(packedFile)) {
        trace("pack path doesn't exists");
        return;
    }
    std::string tool = runtimeDirectory + "\\bin\\unpack200.exe";
    // The tool is named as the application; the command line holds only its arguments.
    std::string commandLine = "-r \"" + packedFile + "\" \"" + jar + "\"";
    trace("%s", tool.c_str());
    trace("%s", commandLine.c_str());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION child{};
    if (!startChildProcess(tool.c_str(), commandLine, startup, child)) {
        DWORD error = GetLastError();
        trace("could not create unpack process");
        trace("CreateProcess failed with error %d", int(error));
        fatalMessage(msg::InternalError, "20");
    }
    UniqueHandle process(child.hProcess), thread(child.hThread);
    trace("waiting for unpack200 to finish");
    WaitForSingleObject(process.get(), INFINITE);
    trace("unpack done");

    // The packed file is the only copy of its jar: it goes only once the jar is there.
    if (!pathExists(jar)) {
        trace("unpacked jar missing, keeping %s", packedFile.c_str());
        return;
    }
    if (!DeleteFileA(packedFile.c_str())) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) trace("could not delete packed file (error %d)", int(error));
    }
}

}  // namespace kestro
