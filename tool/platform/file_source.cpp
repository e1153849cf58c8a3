#include "tool/platform/file_source.h"

#include "format/native_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kestro::tool {

FileSource::FileSource(const std::filesystem::path& path) : file_(format::openForReading(path)) {
    std::error_code ec;
    if (!file_ || std::filesystem::is_directory(path, ec))
        throw std::runtime_error("cannot read " + format::pathText(path) + ": " +
                                 (file_ ? "it is a directory" : std::strerror(errno)));
    size_ = std::filesystem::file_size(path, ec);
    if (ec) throw std::runtime_error("cannot read " + format::pathText(path) + ": " + ec.message());
}

bool FileSource::read(void* dst, uint32_t n, uint32_t& got, uint32_t& error) {
    got = uint32_t(std::fread(dst, 1, n, file_.get()));
    position_ += got;
    error = std::ferror(file_.get()) ? uint32_t(errno) : 0;
    return error == 0;
}

bool FileSource::seek(uint64_t pos, uint32_t& error) {
    if (!format::seekTo(file_.get(), pos)) {
        error = uint32_t(errno);
        return false;
    }
    position_ = pos;
    error = 0;
    return true;
}

}  // namespace kestro::tool
