#include "format/native_file.h"

#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

namespace kestro::format {

// Wide paths reach every file name; _O_BINARY keeps "\n" from becoming "\r\n".
UniqueFile openForReading(const std::filesystem::path& path) { return UniqueFile(::_wfopen(path.c_str(), L"rb")); }

UniqueFile openForWriting(const std::filesystem::path& path) { return UniqueFile(::_wfopen(path.c_str(), L"wb")); }

UniqueFile createNewFile(const std::filesystem::path& path) {
    int fd = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    UniqueFile file(::_fdopen(fd, "wb"));
    if (!file) {
        int error = errno;
        ::_close(fd);
        ::_wunlink(path.c_str());
        errno = error;
    }
    return file;
}

bool seekTo(std::FILE* file, uint64_t position) { return ::_fseeki64(file, int64_t(position), SEEK_SET) == 0; }

int processId() { return ::_getpid(); }

}  // namespace kestro::format
