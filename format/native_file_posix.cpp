#include "format/native_file.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace kestro::format {

UniqueFile openForReading(const std::filesystem::path& path) { return UniqueFile(std::fopen(path.c_str(), "rb")); }

UniqueFile openForWriting(const std::filesystem::path& path) { return UniqueFile(std::fopen(path.c_str(), "wb")); }

UniqueFile createNewFile(const std::filesystem::path& path) {
    // Executable for whoever the umask allows, as a linker leaves its output.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0777);
    if (fd < 0) return nullptr;
    UniqueFile file(::fdopen(fd, "wb"));
    if (!file) {
        int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = error;
    }
    return file;
}

bool seekTo(std::FILE* file, uint64_t position) { return fseeko(file, off_t(position), SEEK_SET) == 0; }

int processId() { return int(::getpid()); }

}  // namespace kestro::format
