#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "common/environment.h"
#include "common/win32_handles.h"
#include "diagnostics/trace.h"
#include "diagnostics/trace_file_name.h"
#include "workfiles/paths.h"

// The Microsoft C runtime's own vfprintf, whatever the compiler's printf mode: the
// trace formats are written in its dialect.
extern "C" int __cdecl __ms_vfprintf(FILE*, const char*, va_list);

namespace kestro {

namespace {

struct TraceState {
    bool lockCreated = false;
    CRITICAL_SECTION lock;
    bool initialised = false;
    std::optional<std::string> logPath;
    FILE* file = nullptr;
    bool logCreationRequested = false;
};

TraceState& state() {
    static TraceState s;
    return s;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// TMP as the 8-bit file functions can name it. With characters the code page lacks its
// 8-bit text names no directory, or another one, and the file would go to "c:\", where
// an ordinary user cannot write: its short form names the same directory, and without
// one the Windows directory's "temp" is taken.
std::optional<std::string> tmpDirectory() {
    const char* tmp = std::getenv("TMP");
    Utf16 value(32768, u'\0');
    DWORD n = GetEnvironmentVariableW(L"TMP", wide(value), DWORD(value.size()));
    if (!tmp || n == 0 || n >= value.size()) return tmp ? std::optional<std::string>(tmp) : std::nullopt;
    value.resize(n);
    bool exact = false;
    toFileSystemText(value, &exact);
    if (exact) return tmp;
    Utf16 shortForm(kTextCapacity, u'\0');
    DWORD m = GetShortPathNameW(wide(value), wide(shortForm), DWORD(shortForm.size()));
    shortForm.resize(m < shortForm.size() ? m : 0);
    std::string narrow = toFileSystemText(shortForm, &exact);
    if (exact && !narrow.empty()) return narrow;
    std::string directory = windowsDirectory();
    directory += "\\temp";
    return directory;
}

void createTraceFile(TraceState& s) {
    auto name = traceFileName(tmpDirectory(), [](const std::string& path) { return exists(path); });
    // Every record reopens the file by name: a relative name (from a relative TMP, or
    // the current directory as the last resort) would follow a later change of the
    // working directory, and records would scatter over several files.
    if (name) {
        std::string full = systemFullPath(*name);
        if (!full.empty()) name = full;
    }
    if (name) {
        s.file = std::fopen(name->c_str(), "w");
        s.logPath = *name;
    }
    if (!name || !s.file) {
        s.logPath = "c:\\vlm_nlog";
        s.file = std::fopen(s.logPath->c_str(), "w");
        if (!s.file) return;
    }
    std::string module(8192, '\0');
    module.resize(GetModuleFileNameA(nullptr, module.data(), DWORD(module.size())));
    std::time_t now = std::time(nullptr);
    const char* started = std::ctime(&now);
    // "Started executable %s at %s\n"; ctime's text brings its own line feed.
    for (const char* piece : {"Started executable ", module.c_str(), " at ", started ? started : "", "\n"})
        std::fputs(piece, s.file);
    std::fflush(s.file);
}

// Leaves the lock held; the record is written next.
void openRecord(TraceState& s) {
    if (!s.lockCreated) {
        // The first record is written on the main thread before any other thread exists.
        InitializeCriticalSection(&s.lock);
        s.lockCreated = true;
    }
    EnterCriticalSection(&s.lock);
    if (s.logPath && !s.file) s.file = std::fopen(s.logPath->c_str(), "a");
    if (s.initialised) return;
    s.initialised = true;
    if (s.logCreationRequested || environmentVariable("KESTRO_LOG") == "yes" ||
        environmentVariable("VELMORA_LOG") == "yes") createTraceFile(s);
}

void writeRecord(const char* prefix, const char* format, va_list args) {
    TraceState& s = state();
    openRecord(s);
    if (s.file) {
        // Each record is closed at once, so the file is complete even if the process
        // (or a VM inside it) dies right after.
        std::fputs(prefix, s.file);
        __ms_vfprintf(s.file, format, args);
        std::fputs("\n", s.file);
        std::fclose(s.file);
        s.file = nullptr;
    }
    LeaveCriticalSection(&s.lock);
}

}  // namespace

void trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    writeRecord("", format, args);
    va_end(args);
}

void traceError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    writeRecord("ERROR: ", format, args);
    va_end(args);
}

std::optional<std::string> traceLogPath() { return state().logPath; }

void requestLogCreation() { state().logCreationRequested = true; }

}  // namespace kestro
