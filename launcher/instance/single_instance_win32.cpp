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

// The executable whose instances meet, and in which namespace.
struct InstanceKey {
    std::string path;  // canonical: full, lower-cased
    bool global;
};

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

// The instance semaphore this process holds; null for none.
HANDLE& heldSemaphore() {
    static HANDLE held = nullptr;
    return held;
}

// The lowest free number gives this instance its name; the handle is kept until the
// process ends, since its existence marks the instance as alive.

void registerNumberedInstance(const InstanceKey& key) {
    std::string name;
    DWORD error = 0;
    UniqueHandle semaphore;
    for (uint32_t number = 0;; ++number) {
        name = numberedSemaphoreName(key.path, key.global, number);
        semaphore = createSemaphore(name, error);
        if (error != ERROR_ALREADY_EXISTS || number >= kLastInstanceNumber) break;
    }
    traceSemaphore(name, error, semaphore.get());
    instanceSemaphoreName() = name;
    heldSemaphore() = semaphore.release();
}

// Creates the instance semaphore; true when no other process held it, also when it
// could not be created at all (access denied): better two instances than none. The
// first instance keeps the handle until the process ends and records its process id.
bool becomeFirstInstance() {
    DWORD error = 0;
    UniqueHandle semaphore = createSemaphore(instanceSemaphoreName(), error);
    traceSemaphore(instanceSemaphoreName(), error, semaphore.get());
    if (error == ERROR_ALREADY_EXISTS) return false;
    (void)registerInstancePid(GetCurrentProcessId());
    heldSemaphore() = semaphore.release();  // held until the process ends (or a restart): it marks this instance as alive
    return true;
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The probes of this process; `file` must outlive them.
HandOverProbes probesFor(const std::string& file) {
    return {&file, [](const void* path) { return fileExists(*static_cast<const std::string*>(path)); },
            [](const void*) { return isFirstInstanceAlive(); }, [](const void*, uint32_t ms) { Sleep(ms); },
            [](const void*) { return readInstancePid(); },
            [](const void*, uint32_t processId) { return runsThisExecutable(processId, readInstanceCreationTime()); }};
}

// The identity of a file, whatever its path's spelling (short names, case, prefixes).
bool fileIdentity(const wchar_t* path, BY_HANDLE_FILE_INFORMATION& info) {
    UniqueFile file(CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    return file && GetFileInformationByHandle(file.get(), &info);
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

// Waits while the notification file exists; a time-out is traced, since the start then
// goes on regardless.
FileWaitEnd waitForFile(const std::string& path) {
    FileWaitEnd end = waitWhileFileExists(probesFor(path));
    if (end == FileWaitEnd::TimedOut) trace("%s still there after %d ms", path.c_str(), int(kFilePolls * kFilePollMs));
    return end;
}

// Hands this start's arguments to the first instance `processId` and waits until its
// application has taken them (deleted the file), or time is up: true. False when the
// first instance was found gone before it took them; the file is then removed.
bool handOver(const InstanceKey& key, uint32_t processId) {
    std::string path = processCommFilePath(processId);
    trace("notification via %s", path.c_str());
    DWORD error = 0;
    UniqueHandle turn = createSemaphore(notificationSemaphoreName(key.path, key.global), error);
    if (!turn) trace("semaphore creation failed %d", int(error));
    trace("waiting for notification semaphore");
    trace("wait returned %d", int(waitForNotificationTurn(turn.get(), path)));

    bool delivered = false;
    if (isFirstInstanceAlive() && waitForFile(path) != FileWaitEnd::FirstInstanceGone) {
        writeNotificationFile(turn.get(), path);
        trace("waiting for file deletion");
        // A file still there after the time-out is left for the application, which may
        // yet take it. One that the application took just before it ended cannot be
        // deleted any more: the arguments have arrived.
        delivered = waitForFile(path) != FileWaitEnd::FirstInstanceGone || !DeleteFileA(path.c_str());
    }
    releaseTurn(turn.get());
    return delivered;
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
        ShowWindowAsync(window, SW_RESTORE);  // never waits for the window's thread, which may hang
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
    InstanceKey key{fullPath(getModulePath(), false), lookupInt(key::GlobalInstance) != 0};
    if (allowNumbering && lookupInt(key::SingleInstance) == 0) {
        registerNumberedInstance(key);
        return;
    }

    trace("single instance mode");
    instanceSemaphoreName() = instanceObjectName(key.path, key.global);
    // A first instance that ends before it has taken this start's arguments leaves the
    // start to check again, and perhaps to become the first instance itself.
    for (;;) {
        if (becomeFirstInstance()) return;
        uint32_t processId = 0;
        PidWaitEnd found = waitForInstancePid(probesFor({}), processId);
        if (found == PidWaitEnd::NotFound) {
            // Never hand over to, or raise the windows of, whatever now has that id.
            trace("no first instance process: pid %d", int(processId));
            break;
        }
        if (found == PidWaitEnd::Found) {
            trace("other pid %d", int(processId));
            // The first instance may then bring the window it opens for our arguments to
            // the front; without it, the window would stay behind the others.
            AllowSetForegroundWindow(processId);
            activateInstanceWindows(processId, true);
            if (!notify || handOver(key, processId)) break;
        }
        trace("first instance gone: checking again");
    }
    trace("exiting");
    exitLauncher(0);
}

bool isFirstInstanceAlive() {
    // Opening creates nothing: a probe that created the semaphore would, while it held
    // it, make a new start a second instance of nobody.
    HANDLE opened = OpenSemaphoreA(SYNCHRONIZE, FALSE, instanceSemaphoreName().c_str());
    DWORD error = GetLastError();
    UniqueHandle semaphore(opened);
    if (semaphore || error != ERROR_FILE_NOT_FOUND) return true;  // denied access: it exists
    trace("main process already released semaphore.");
    return false;
}

uint64_t processCreationTime(void* process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return uint64_t(created.dwHighDateTime) << 32 | created.dwLowDateTime;
}

bool runsThisExecutable(uint32_t processId, uint64_t creationTime) {
    if (processId == 0 || processId == GetCurrentProcessId()) return false;
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return false;
    if (creationTime != 0 && processCreationTime(process.get()) != creationTime) return false;
    Utf16 image(32768, u'\0'), own(32768, u'\0');
    DWORD size = DWORD(image.size());
    BY_HANDLE_FILE_INFORMATION theirs{}, ours{};
    return QueryFullProcessImageNameW(process.get(), 0, wide(image), &size) &&
           GetModuleFileNameW(nullptr, wide(own), DWORD(own.size())) && fileIdentity(wide(image), theirs) &&
           fileIdentity(wide(own), ours) && theirs.dwVolumeSerialNumber == ours.dwVolumeSerialNumber &&
           theirs.nFileIndexHigh == ours.nFileIndexHigh && theirs.nFileIndexLow == ours.nFileIndexLow;
}

void activateInstanceWindows(uint32_t processId, bool restore) {
    if (processId == 0) return;  // no recorded first instance: no window is its own
    WindowTarget target{processId, restore};
    EnumWindows(activateIfTarget, reinterpret_cast<LPARAM>(&target));
}

void leaveInstance() {
    if (heldSemaphore()) CloseHandle(heldSemaphore());
    heldSemaphore() = nullptr;
}

}  // namespace kestro
