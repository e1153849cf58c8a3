#include <windows.h>

#include "common/win32_handles.h"
#include "config/config_tables.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
#include "instance/hand_over.h"
#include "instance/instance_names.h"
#include "instance/single_instance.h"
#include "startup/exit.h"
#include "workfiles/paths.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

constexpr uint32_t kLastInstanceNumber = 100000;

// Creates (or opens) a semaphore of count 1; `error` receives the system's code, which
// tells a new semaphore (0) from one that another process holds (ERROR_ALREADY_EXISTS).
UniqueHandle createSemaphore(const std::string& name, DWORD& error) {
    SetLastError(0);
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 1, 1, name.c_str()));
    error = GetLastError();
    return semaphore;
}

void traceSemaphore(const std::string& name, DWORD error, HANDLE semaphore) {
    trace("semaphore name %s, code %d, value %p", name.c_str(), int(error), static_cast<void*>(semaphore));
}

// The lowest free number gives this instance its name; the handle is kept until the
// process ends, since its existence marks the instance as alive.
void registerNumberedInstance(const std::string& base) {
    std::string name;
    DWORD error = 0;
    UniqueHandle semaphore;
    for (uint32_t number = 0;; ++number) {
        name = numberedSemaphoreName(base, number);
        semaphore = createSemaphore(name, error);
        if (error != ERROR_ALREADY_EXISTS || number >= kLastInstanceNumber) break;
    }
    traceSemaphore(name, error, semaphore.get());
    instanceSemaphoreName() = name;
    semaphore.release();
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

HandOverProbes probesFor(const std::string& file) {
    return {[&file] { return fileExists(file); }, [] { return isFirstInstanceAlive(); },
            [](uint32_t ms) { Sleep(ms); }};
}

// Waits for the notification semaphore in slices; the raw result of the last wait is
// what the trace shows (0 obtained, 258 timed out, -1 failed).
DWORD waitForNotificationTurn(HANDLE turn, const std::string& file) {
    DWORD last = WAIT_FAILED;
    auto slice = [&](uint32_t ms) {
        last = WaitForSingleObject(turn, ms);
        return last == WAIT_OBJECT_0 ? SliceResult::Obtained
               : last == WAIT_TIMEOUT ? SliceResult::TimedOut
                                      : SliceResult::Failed;
    };
    if (waitForTurn(slice, probesFor(file)) == TurnWaitEnd::GaveUp)
        trace("gave up waiting for notification semaphore: no hand-over for %d ms", int(kTurnGiveUpMs));
    return last;
}

void releaseTurn(HANDLE turn) {
    if (!ReleaseSemaphore(turn, 1, nullptr)) trace("release semaphore failed %d", int(GetLastError()));
}

// Starts queued behind this one get the turn before the report, which may stay on the
// screen for long; a partly written file is removed first, so that the application
// never reads a part of a line.
[[noreturn]] void failHandOver(HANDLE turn, UniqueFile& file, const std::string& path, const char* code) {
    if (file) {
        file.reset();
        DeleteFileA(path.c_str());
    }
    releaseTurn(turn);
    fatalMessage(msg::InternalError, code);
}

void writeNotificationFile(HANDLE turn, const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        trace("CreateFile failed %d", int(GetLastError()));
        failHandOver(turn, file, path, "21");
    }
    std::string bytes = utf16LittleEndianBytes(handOverText(reinterpret_cast<const char16_t*>(GetCommandLineW())));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) || written != bytes.size()) {
        traceError("WriteFile failed %d", int(GetLastError()));
        failHandOver(turn, file, path, "22");
    }
}

// Hands this start's arguments to the first instance `processId` and waits until its
// application has taken them (deleted the file), or it is gone, or time is up.
void handOver(uint32_t processId) {
    std::string path = processCommFilePath(processId);
    trace("notification via %s", path.c_str());
    DWORD error = 0;
    UniqueHandle turn = createSemaphore(notificationSemaphoreName(instanceSemaphoreName()), error);
    if (!turn) trace("semaphore creation failed %d", int(error));
    trace("waiting for notification semaphore");
    trace("wait returned %d", int(waitForNotificationTurn(turn.get(), path)));

    if (isFirstInstanceAlive() && waitWhileFileExists(probesFor(path)) != FileWaitEnd::FirstInstanceGone) {
        writeNotificationFile(turn.get(), path);
        trace("waiting for file deletion");
        // Nobody will read the file of an instance that is gone; a file still there
        // after the time-out is left for the application, which may yet take it.
        if (waitWhileFileExists(probesFor(path)) == FileWaitEnd::FirstInstanceGone) DeleteFileA(path.c_str());
    }
    releaseTurn(turn.get());
}

struct WindowTarget {
    DWORD processId;
    bool restore;
};

BOOL CALLBACK activateIfTarget(HWND window, LPARAM data) {
    const WindowTarget& target = *reinterpret_cast<const WindowTarget*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != target.processId || !IsWindowVisible(window)) return TRUE;
    trace("found window %p", static_cast<void*>(window));
    if (target.restore && IsIconic(window)) {
        trace("restore");
        ShowWindow(window, SW_RESTORE);
    }
    trace("foreground");
    SetForegroundWindow(window);
    trace("popup");
    SetForegroundWindow(GetLastActivePopup(window));
    trace("done");
    return TRUE;  // every window of the process is treated
}

}  // namespace

void checkSingleInstance(bool allowNumbering, bool notify) {
    std::string base = instanceSemaphoreBase(fullPath(getModulePath(), false), lookupInt(key::GlobalInstance) != 0);
    if (allowNumbering && lookupInt(key::SingleInstance) == 0) {
        registerNumberedInstance(base);
        return;
    }

    trace("single instance mode");
    instanceSemaphoreName() = base;
    DWORD error = 0;
    UniqueHandle semaphore = createSemaphore(base, error);
    traceSemaphore(base, error, semaphore.get());
    // A semaphore that cannot be created at all (access denied) leaves this start the
    // first instance too: better two instances than none.
    if (error != ERROR_ALREADY_EXISTS) {
        (void)registerInstancePid(GetCurrentProcessId());
        semaphore.release();  // held until the process ends: it marks this instance as alive
        return;
    }
    semaphore.reset();
    uint32_t processId = readInstancePid();
    trace("other pid %d", int(processId));
    activateInstanceWindows(processId, true);
    if (notify) handOver(processId);
    trace("exiting");
    exitLauncher(0);
}

bool isFirstInstanceAlive() {
    DWORD error = 0;
    UniqueHandle semaphore = createSemaphore(instanceSemaphoreName(), error);
    if (!semaphore || error == ERROR_ALREADY_EXISTS) return true;
    // Only this process holds it now: the first instance has ended.
    if (!ReleaseSemaphore(semaphore.get(), 1, nullptr)) trace("release semaphore 2 failed %d", int(GetLastError()));
    semaphore.reset();
    trace("main process already released semaphore.");
    return false;
}

void activateInstanceWindows(uint32_t processId, bool restore) {
    if (processId == 0) return;  // no recorded first instance: no window is its own
    WindowTarget target{processId, restore};
    EnumWindows(activateIfTarget, reinterpret_cast<LPARAM>(&target));
}

}  // namespace kestro
