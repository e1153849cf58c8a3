#include <windows.h>

#include <direct.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "common/environment.h"
#include "common/text.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
#include "common/win32_handles.h"
#include "workfiles/path_rules.h"
#include "workfiles/paths.h"
#include "workfiles/private_directory.h"
#include "workfiles/run_directory.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

// The system's temporary path in UTF-16; empty when it cannot be read.
Utf16 systemTempPath() {
    Utf16 path(kTextCapacity, u'\0');
    DWORD n = GetTempPathW(DWORD(path.size()), wide(path));
    path.resize(n < path.size() ? n : 0);
    return path;
}

// True when the system's temporary path holds characters that the code page lacks: its
// 8-bit form then names no directory ("?") or another one (a look-alike letter).
bool tempPathIsLossy() {
    bool exact = false;
    toFileSystemText(systemTempPath(), &exact);
    return !exact;
}

// "?" in the long form marks characters that the ANSI code page cannot represent.
bool longFormIsUnrepresentable(const std::string& root) {
    std::optional<std::string> longForm = longPathName(root);
    return longForm && longForm->find('?') != std::string::npos;
}

// The short (8.3) form of the user's own temporary path, when the code page holds it
// exactly: the user's folder, which no other user can change, named in 8-bit text.
std::optional<std::string> shortTempPath() {
    Utf16 path = systemTempPath();
    if (path.empty()) return std::nullopt;
    return exactShortPathName(path);
}

// A shared root is used through the user's own directory inside it, made private, or
// taken when it is there already and the user's; another user's is never used.
bool usePrivateRoot(std::string& root) {
    const std::optional<std::string>& user = currentUserSid();
    if (!user) return false;
    // A root that another user owns is theirs to rearrange, whatever lies inside.
    // A SID text is never empty: empty stands for an owner that could not be read.
    std::string rootOwner;
    if (!ownerSid(root, rootOwner) || !trustedOwner(rootOwner, *user)) {
        trace("not using %s: owned by %s", root.c_str(), rootOwner.empty() ? "nobody known" : rootOwner.c_str());
        return false;
    }
    std::string own = childPath(root, privateRootName(*user));
    if (!createPrivateDirectory(own)) {
        DWORD error = GetLastError();
        std::string owner;
        if (error != ERROR_ALREADY_EXISTS || !ownerSid(own, owner) || owner != *user) {
            trace("not using %s (error %d)", own.c_str(), int(error));
            return false;
        }
    }
    root = own;
    return true;
}

// The fallback roots, tried in order when the system's path cannot be used.
bool findFallbackRoot(std::string& root) {
    std::string windows = windowsDirectory();
    for (int candidate = 0; candidate < 4; ++candidate) {
        // The Windows directory's "temp", "c:\temp", "c:\tmp", the Windows directory.
        root = candidate == 1 ? "c:\\temp" : candidate == 2 ? "c:\\tmp" : windows;
        if (candidate == 0) root += "\\temp";
        if (isWritableDirectory(root) && usePrivateRoot(root)) return true;
    }
    if (!isWritableDirectory("c:\\")) return false;
    root = "c:\\tmp";
    (void)_mkdir(root.c_str());
    return isWritableDirectory(root) && usePrivateRoot(root);
}

}  // namespace

std::string& tempDirPath() {
    static std::string path;
    return path;
}

std::string findTempRoot() {
    std::string root(kTextCapacity, '\0');
    DWORD n = GetTempPathA(DWORD(root.size()), root.data());
    trace("GetTempPath returned %d (last error %d)", int(n), int(GetLastError()));
    root.resize(n < root.size() ? n : 0);
    bool lossy = !root.empty() && tempPathIsLossy();
    if (root.empty()) {
        root = environmentVariable("HOMEDRIVE");
        root += environmentVariable("HOMEPATH");
        root = truncated(std::move(root));
        trace("No temp dir defined. Using home %s", root.c_str());
    } else if (lossy) {
        // Creating it would make a directory of the look-alike name.
        trace("temp path %s holds characters outside the code page", root.c_str());
    } else {
        trace("make dir returned %d", _mkdir(root.c_str()));
    }
    if (lossy || longFormIsUnrepresentable(root)) {
        if (std::optional<std::string> shortForm = shortTempPath()) {
            root = *shortForm;
            trace("using the short form %s of the temp path", root.c_str());
        } else if (!findFallbackRoot(root)) {
            fatalMessage(msg::NoTempDirectory);
        }
    }
    // The home directory and the fallbacks come without a trailing backslash; adding it
    // here keeps every name formed from the root inside the root.
    if (!root.empty() && root.back() != '\\' && root.back() != '/') root += '\\';
    return root;
}

bool isWritableDirectory(std::string_view directory) {
    std::string probe(directory);
    probe += "\\kst_w_testdir";
    RemoveDirectoryA(probe.c_str());  // left over by an earlier run, perhaps
    if (!CreateDirectoryA(probe.c_str(), nullptr)) return false;
    bool seen = pathExists(probe);
    RemoveDirectoryA(probe.c_str());
    return seen;
}

std::string uniqueTempName() {
    std::string root = findTempRoot();
    trace("tempPath is %s", root.c_str());
    std::string name(MAX_PATH + root.size(), '\0');
    if (GetTempFileNameA(root.c_str(), "kst", 0, name.data())) {
        name.resize(std::strlen(name.c_str()));
    } else {
        trace("GetTempFileName failed (last error %d)", int(GetLastError()));
        std::srand(unsigned(std::time(nullptr)));
        name = root;
        name += "kst";
        name += decimal(std::rand());
    }
    trace("tempFile is %s", name.c_str());
    return name;
}

std::string processCommFilePath(uint32_t processId) {
    std::string path = findTempRoot();
    path += "kst_p";
    path += decimal(processId);
    path += ".tmp";
    return path;
}

void createTempDir() {
    std::string& dir = tempDirPath();
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string unique = uniqueTempName();
        dir = unique;
        dir += "_dir";
        dir += decimal(int64_t(std::time(nullptr)));
        trace("Temp dir: %s", dir.c_str());
        // Only the user and the system may open it: in a shared root another user could
        // otherwise add an archive to the class path or replace a library before it loads.
        bool created = currentUserSid() ? createPrivateDirectory(dir) : CreateDirectoryA(dir.c_str(), nullptr);
        uint32_t error = created ? 0 : GetLastError();
        // The system's empty file reserved the name, which the directory's own name now
        // holds (with the time); the pseudo-random name made no file.
        if (unique.ends_with(".tmp")) DeleteFileA(unique.c_str());
        if (error == 0) {
            error = holdRunMarker(dir);
            if (error == 0) {
                startRemovingEndedRunDirectories(directoryPart(dir), dir);
                return;
            }
            RemoveDirectoryA(dir.c_str());
        }
        trace("Could not create dir (%d)", int(error));
    }
    dir.clear();
    fatalMessage(msg::InternalError, "7");
}

}  // namespace kestro
