#include "common/child_process.h"

#include "diagnostics/trace.h"

namespace kestro {

namespace {

constexpr int kStartAttempts = 3;
constexpr DWORD kRetryPauseMs = 200;

}  // namespace

bool startChildProcess(const char* application, const std::string& commandLine, STARTUPINFOA& startup,
                       PROCESS_INFORMATION& child) {
    for (int attempt = 1;; ++attempt) {
        // CreateProcessA may write into the command line; each attempt gets it whole.
        std::string text = commandLine;
        if (CreateProcessA(application, text.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                           &startup, &child))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == kStartAttempts) {
            SetLastError(error);
            return false;
        }
        trace("CreateProcess failed with error %d on attempt %d, starting again", int(error), attempt);
        Sleep(kRetryPauseMs * DWORD(attempt));
    }
}

}  // namespace kestro
