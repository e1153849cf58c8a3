#include <windows.h>

#include "common/win32_handles.h"
#include "config/config_tables.h"
#include "config/own_executable.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
#include "format/block_reader.h"
#include "workfiles/copy_data.h"
#include "workfiles/included_files.h"
#include "workfiles/included_names.h"
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

// Reads the record at the reader's position into `target`. A record of size 0 or below
// has no data and creates no file. Returns 0 or the copy's failure code; the target is
// closed either way, so that the removal at exit can delete it.
int extractFile(format::BlockReader& reader, format::ByteSource& executable, const std::string& target) {
    int64_t size = 0;
    if (!reader.readLong(size)) fatalError(format::fatalText(format::Reader::Long));
    trace("extracting %s (size: %I64d)", target.c_str(), static_cast<long long>(size));
    if (size <= 0) return 0;
    UniqueFile file(
        CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) fatalMessage(msg::InternalError, "11");
    FileSink sink(file.get());
    return copyFileData(executable, sink, size, true);
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
    if (createDir) createTempDir();

    UniqueFile file = openOwnExecutable();
    FileSource executable(file.get());
    format::BlockReader reader(executable, &trace);
    reader.seek(configTables().includedDataPosition);

    const std::string& dir = tempDirPath();
    for (const std::string& name : includedFileNames(lookupString(key::IncludedNames), count)) {
        // A name that could lead outside the temporary directory, or to a device, is a
        // file we cannot create; nothing of it is written anywhere.
        if (dir.empty() || !isSafeIncludedName(name)) {
            if (namesDevice(name)) traceError("refusing to extract %s, a name Windows gives to a device", name.c_str());
            else traceError("refusing to extract %s outside the temporary directory", name.c_str());
            fatalMessage(msg::InternalError, "11");
        }
        std::string target = dir + "\\" + name;
        std::string subdirectory = includedNameDirectory(name);
        if (!subdirectory.empty()) createNameDirectory(dir + "\\" + subdirectory);
        if (int failure = extractFile(reader, executable, target)) {
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
