#include <windows.h>

#include "config/config_reader.h"
#include "config/config_tables.h"
#include "config/locale.h"
#include "config/own_executable.h"
#include "config/table_filler.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
#include "workfiles/paths.h"

namespace kestro {

FileSource::FileSource(HANDLE file) : file_(file) {
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size)) size_ = uint64_t(size.QuadPart);
}

bool FileSource::read(void* dst, uint32_t n, uint32_t& got, uint32_t& error) {
    DWORD delivered = 0;
    BOOL ok = ReadFile(file_, dst, n, &delivered, nullptr);
    error = GetLastError();
    got = delivered;
    position_ += delivered;
    return ok;
}

bool FileSource::seek(uint64_t pos, uint32_t& error) {
    LARGE_INTEGER to;
    to.QuadPart = LONGLONG(pos);
    if (!SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) {
        error = GetLastError();
        return false;
    }
    position_ = pos;
    return true;
}

UniqueFile openOwnExecutable() {
    const std::string& path = getModulePath();
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        traceError("Could not open %s", path.c_str());
        fatalError("Error opening media file. Please move this file to an ascii-only path like c:\\");
    }
    return file;
}

void readLauncherConfig(const std::vector<Utf16>& arguments) {
    UniqueFile file = openOwnExecutable();
    FileSource source(file.get());
    format::BlockReader reader(source, &trace);
    format::seekConfigBlock(reader);

    ConfigTables& tables = configTables();
    auto locale = [&arguments] { return selectLocale(arguments); };
    TableFiller filler(tables, locale);
    switch (format::readBlock(reader, filler)) {
    case format::ReadStatus::BadMagic: fatalError("Internal Error: magic");
    case format::ReadStatus::ReadFailed: fatalError(format::fatalText(reader.failure()->reader));
    case format::ReadStatus::Ok: break;
    }
    tables.includedDataPosition = uint32_t(reader.position());
    file.reset();

    int32_t type = lookupInt(key::ApplicationType);
    if (type != 1 && type != 5) disableErrorBoxes();
}

}  // namespace kestro
