#include <windows.h>

#include <optional>
#include <vector>

#include "common/win32_handles.h"
#include "config/config_tables.h"
#include "config/own_executable.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
#include "format/block_reader.h"
#include "workfiles/copy_data.h"
#include "workfiles/included_files.h"
#include "workfiles/included_names.h"
#include "workfiles/path_rules.h"
#include "workfiles/runtime_library_cache.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

struct ExtractionState {
    uint32_t unextractedPosition = 0;
};

ExtractionState& state() {
    static ExtractionState s;
    return s;
}

class FileSink final : public ByteSink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}
    bool write(const void* src, uint32_t n, uint32_t& written, uint32_t& error) override {
        DWORD done = 0;
        BOOL ok = WriteFile(file_, src, n, &done, nullptr);
        error = ok ? 0 : GetLastError();
        written = done;
        return ok;
    }

private:
    HANDLE file_;
};

class StringSink final : public ByteSink {
public:
    explicit StringSink(std::string& out) : out_(out) {}
    bool write(const void* src, uint32_t n, uint32_t& written, uint32_t&) override {
        out_.append(static_cast<const char*>(src), n);
        written = n;
        return true;
    }

private:
    std::string& out_;
};

// The most of the runtime library that is held in memory for the cache (it is some
// 22 KB); a larger one is extracted as any other file.
constexpr int64_t kRuntimeLibraryLimit = 16 * 1024 * 1024;

int64_t readRecordSize(format::BlockReader& reader) {
    int64_t size = 0;
    if (!reader.readLong(size)) fatalError(format::fatalText(format::Reader::Long));
    return size;
}

// Copies the record's `size` bytes at the reader's position into `target`. A record of
// size 0 or below has no data and creates no file. Returns 0 or the copy's failure
// code; the target is closed either way, so that the removal at exit can delete it.
int extractFile(format::ByteSource& executable, const std::string& target, int64_t size) {
    trace("extracting %s (size: %I64d)", target.c_str(), static_cast<long long>(size));
    if (size <= 0) return 0;
    UniqueFile file(
        CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) fatalMessage(msg::InternalError, "11");
    FileSink sink(file.get());
    return copyFileData(executable, sink, size, true);
}

// The runtime library goes to the per-user cache: true when it is there and on its way
// to the class path. Otherwise the reader is back at the record's data, for extraction.
bool cacheRuntimeLibrary(format::ByteSource& executable, int64_t size) {
    if (size <= 0 || size > kRuntimeLibraryLimit) return false;
    const uint64_t start = executable.position();
    std::string bytes;
    bytes.reserve(size_t(size));
    StringSink sink(bytes);
    std::string cached;
    if (copyFileData(executable, sink, size, true) != 0 || !cachedRuntimeLibrary(bytes, cached)) {
        uint32_t error = 0;
        if (!executable.seek(start, error)) fatalMessage(msg::InternalError, "11");
        return false;
    }
    runtimeLibraryPath() = std::move(cached);
    return true;
}

// The one directory level a name may bring; an existing directory is fine, any other
// failure shows when the file itself cannot be created.
void createNameDirectory(const std::string& directory) {
    trace("creating directory %s", directory.c_str());
    if (!CreateDirectoryA(directory.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        traceError("failed to create directory %s", directory.c_str());
}

}  // namespace

int extractIncludedFiles(bool createDir) {
    trace("extracting files");
    int32_t count = lookupInt(key::IncludedCount);
    trace("Included files: %d", int(count));
    if (count == 0) {
        if (createDir) tempDirPath().clear();
        return 0;
    }
    std::vector<std::string> names = includedFileNames(lookupString(key::IncludedNames), count);
    // The runtime library alone needs no directory: it lives in the per-user cache.
    bool ownFiles = false;
    for (const std::string& name : names) ownFiles = ownFiles || !isRuntimeLibraryName(name);
    if (createDir && ownFiles) createTempDir();

    UniqueFile file = openOwnExecutable();
    FileSource executable(file.get());
    format::BlockReader reader(executable, &trace);
    reader.seek(configTables().includedDataPosition);

    const std::string& dir = tempDirPath();
    for (const std::string& name : names) {
        int64_t size = readRecordSize(reader);
        if (isRuntimeLibraryName(name) && cacheRuntimeLibrary(executable, size)) continue;
        // Without a cache the library is extracted as before, into a directory made now.
        if (createDir && dir.empty() && !ownFiles) createTempDir();
        // A name that could lead outside the temporary directory, or to a device, is a
        // file we cannot create; nothing of it is written anywhere.
        if (dir.empty() || !isSafeIncludedName(name)) {
            if (namesDevice(name)) traceError("refusing to extract %s, a name Windows gives to a device", name.c_str());
            else traceError("refusing to extract %s outside the temporary directory", name.c_str());
            fatalMessage(msg::InternalError, "11");
        }
        // The directory's name ends in digits, never in a backslash.
        std::string target = childPath(dir, name);
        std::string subdirectory = includedNameDirectory(name);
        if (!subdirectory.empty()) createNameDirectory(childPath(dir, subdirectory));
        if (int failure = extractFile(executable, target, size)) {
            traceError("Failed to extract %s", target.c_str());
            return failure;
        }
    }
    state().unextractedPosition = uint32_t(reader.position());
    file.reset();
    trace("unextracted position: %d", int(state().unextractedPosition));
    trace("extracting files done");
    return 0;
}

uint32_t unextractedPosition() { return state().unextractedPosition; }

}  // namespace kestro
