// Opening files by path, the one thing about files that differs between the systems the
// build tool runs on: Windows opens by UTF-16 path and must be asked for binary mode.
// Paths made from UTF-8 text and shown as UTF-8 text go through pathFromUtf8 and
// pathText, which mean the same on both.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace kestro::format {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// An existing file for reading, in binary mode; null with errno set on failure.
UniqueFile openForReading(const std::filesystem::path& path);

// A file for writing in binary mode, replacing one of that name; null with errno set.
UniqueFile openForWriting(const std::filesystem::path& path);

// A new file for writing in binary mode, executable where the system has such a bit;
// never an existing one (null with errno EEXIST then), so that a name planted in a
// shared directory cannot redirect the write.
UniqueFile createNewFile(const std::filesystem::path& path);

// Moves to an absolute position of a file of any size. False with errno set.
bool seekTo(std::FILE* file, uint64_t position);

// The running process's id, which makes temporary names unique.
int processId();

// A path from UTF-8 text, and a path as UTF-8 text (for messages and printed files).
inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
inline std::string pathText(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
inline std::string genericPathText(const std::filesystem::path& path) {
    std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace kestro::format
