#include "host/library_path.h"

#include "common/text.h"
#include "workfiles/path_rules.h"

namespace kestro {

std::string libraryDirectories(std::string_view configured, ResolveDirectory resolve) {
    std::string out;
    for (const std::string& piece : splitList(configured)) {
        if (!isRelativePath(piece)) {
            out += piece;
        } else if (piece.starts_with('"')) {
            // The directory goes inside the quotes; in front of them it would make a
            // path with a quote in its middle.
            out += '"';
            out += resolve(std::string_view(piece).substr(1));
        } else {
            out += resolve(piece);
        }
        out += ';';
    }
    return out;
}

namespace {

template <class Char>
BasicPathValue<std::basic_string<Char>> withLibraries(std::basic_string_view<Char> directories,
                                                      const std::optional<std::basic_string<Char>>& oldPath,
                                                      size_t limit) {
    std::basic_string<Char> value(directories);
    if (oldPath) value += *oldPath;
    if (value.size() <= limit) return {std::move(value), false};
    // The last entry boundary within the limit: a ";" outside quotes, at most at `limit`.
    size_t cut = 0;
    bool quoted = false;
    for (size_t i = 0; i <= limit; ++i) {
        if (value[i] == Char('"')) quoted = !quoted;
        else if (value[i] == Char(';') && !quoted) cut = i;
    }
    value.resize(cut);
    return {std::move(value), true};
}

template <class Char>
BasicPathValue<std::basic_string<Char>> withDirectoryAppended(std::basic_string_view<Char> path,
                                                              std::basic_string_view<Char> directory, size_t limit) {
    std::basic_string<Char> tail(1, Char(';'));
    tail += directory;
    if (path.size() + tail.size() <= limit) return {std::basic_string<Char>(path) + tail, false};
    size_t room = limit > tail.size() ? limit - tail.size() : 0;
    auto kept = withLibraries<Char>({}, std::basic_string<Char>(path), room);
    kept.value += tail;
    kept.shortened = true;
    return kept;
}

}  // namespace

PathValue pathWithLibraries(std::string_view directories, const std::optional<std::string>& oldPath, size_t limit) {
    return withLibraries(directories, oldPath, limit);
}

WidePathValue pathWithLibraries(std::u16string_view directories, const std::optional<std::u16string>& oldPath,
                                size_t limit) {
    return withLibraries(directories, oldPath, limit);
}

PathValue pathWithDirectoryAppended(std::string_view path, std::string_view directory, size_t limit) {
    return withDirectoryAppended(path, directory, limit);
}

WidePathValue pathWithDirectoryAppended(std::u16string_view path, std::u16string_view directory, size_t limit) {
    return withDirectoryAppended(path, directory, limit);
}

}  // namespace kestro
