#include <windows.h>

#include "common/environment.h"
#include "common/win32_handles.h"
#include "diagnostics/trace.h"
#include "workfiles/included_names.h"
#include "workfiles/path_rules.h"
#include "workfiles/paths.h"
#include "workfiles/runtime_library_cache.h"

namespace kestro {

namespace {

// The cache's directory, created as needed; false without a local application data
// folder that the 8-bit file functions can name.
bool cacheDirectory(std::string& directory) {
    std::optional<Utf16> base = environmentValueUtf16("LOCALAPPDATA");
    if (!base || base->empty()) return false;
    bool exact = false;
    directory = toFileSystemText(*base, &exact);
    if (!exact) {
        std::optional<std::string> shortForm = exactShortPathName(*base);
        if (!shortForm) return false;
        directory = std::move(*shortForm);
    }
    for (const char* part : {"Kestro", "runtime"}) {
        directory = childPath(directory, part);
        if (!CreateDirectoryA(directory.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return true;
}

// True when `path` holds exactly `bytes`.
bool holdsExactly(const std::string& path, const std::string& bytes) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || uint64_t(size.QuadPart) != bytes.size()) return false;
    std::string content(bytes.size(), '\0');
    DWORD read = 0;
    return ReadFile(file.get(), content.data(), DWORD(content.size()), &read, nullptr) && read == content.size() &&
           content == bytes;
}

bool writeWhole(const std::string& path, const std::string& bytes) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Other versions not written for kCachedVersionDays; one still open in a running
// launcher's VM cannot be deleted and stays.
void removeOldVersions(const std::string& directory, const std::string& kept) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t limit = uint64_t(kCachedVersionDays) * 24 * 3600 * 10000000;
    const uint64_t current = uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    WIN32_FIND_DATAA entry;
    UniqueFind listing(FindFirstFileA(childPath(directory, "kestro-runtime-*.jar").c_str(), &entry));
    if (!listing) return;
    do {
        uint64_t written = uint64_t(entry.ftLastWriteTime.dwHighDateTime) << 32 | entry.ftLastWriteTime.dwLowDateTime;
        std::string path = childPath(directory, entry.cFileName);
        if (isRuntimeLibraryCacheName(entry.cFileName) && path != kept && current - written > limit &&
            DeleteFileA(path.c_str()))
            trace("removed %s, unused for %d days", path.c_str(), int(kCachedVersionDays));
    } while (FindNextFileA(listing.get(), &entry));
}

}  // namespace

std::string& runtimeLibraryPath() {
    static std::string path;
    return path;
}

bool cachedRuntimeLibrary(const std::string& bytes, std::string& cached) {
    std::string directory;
    if (!cacheDirectory(directory)) {
        trace("no cache for the runtime library");
        return false;
    }
    std::string path = childPath(directory, runtimeLibraryCacheName(bytes));
    if (holdsExactly(path, bytes)) {
        trace("runtime library %s", path.c_str());
        cached = std::move(path);
        return true;
    }
    // Written whole under a name of this process, then put in place in one step: a
    // start running beside this one never sees a part of it.
    std::string part = path;
    part += ".kst";
    part += decimal(GetCurrentProcessId());
    bool placed = writeWhole(part, bytes) && MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!placed) DeleteFileA(part.c_str());
    // Another start may have put the same bytes there first, and a damaged copy still
    // open in a running VM cannot be replaced: only what is there counts.
    if (!holdsExactly(path, bytes)) {
        trace("could not write the runtime library to %s", path.c_str());
        return false;
    }
    trace("runtime library written to %s", path.c_str());
    removeOldVersions(directory, path);
    cached = std::move(path);
    return true;
}

}  // namespace kestro
