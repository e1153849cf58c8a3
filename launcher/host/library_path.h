// The texts of the native library path: the configured directories made absolute and
// joined, and the PATH value that puts them in front of the old one. No system calls.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// The longest PATH value the launcher writes: the system holds a variable of 32767
// characters with its terminating zero, and the C runtime's copy stores "PATH=" in
// front of the value within the same limit.
inline constexpr size_t kPathValueLimit = 32767 - 1 - 5;

// Makes a relative directory absolute against the launcher's directory.
using ResolveDirectory = std::string (*)(std::string_view relative);

// The ";"-separated directories, empty pieces skipped, in their order, each relative
// one passed through `resolve` (a quoted relative one keeps its quote in front of the
// resolved path), joined with ";" and ended with ";" unless empty.
std::string libraryDirectories(std::string_view configured, ResolveDirectory resolve);

// PATH is changed in UTF-16, the environment's own form: its 8-bit form would turn a
// directory that the code page lacks into a look-alike that another user may create.
// The 8-bit forms serve the tests and the rules' own cases.
template <class Text>
struct BasicPathValue {
    Text value;
    bool shortened = false;  // whole entries at the end had to be left out
};
using PathValue = BasicPathValue<std::string>;
using WidePathValue = BasicPathValue<std::u16string>;

// `directories` followed by the old PATH (nothing when unset). A value beyond `limit`
// keeps as many whole entries from its front as fit, so the library directories come
// first and the old PATH loses its last entries, never a part of one; a ";" inside
// double quotes does not end an entry.
PathValue pathWithLibraries(std::string_view directories, const std::optional<std::string>& oldPath,
                            size_t limit = kPathValueLimit);
WidePathValue pathWithLibraries(std::u16string_view directories, const std::optional<std::u16string>& oldPath,
                                size_t limit = kPathValueLimit);

// `path`, ";" and `directory` (the runtime's bin directory, which must stay on PATH): a
// value beyond `limit` leaves out the path's last whole entries to make room for it.
PathValue pathWithDirectoryAppended(std::string_view path, std::string_view directory,
                                    size_t limit = kPathValueLimit);
WidePathValue pathWithDirectoryAppended(std::u16string_view path, std::u16string_view directory,
                                        size_t limit = kPathValueLimit);

}  // namespace kestro
