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

PathValue pathWithLibraries(std::string_view directories, const std::optional<std::string>& oldPath, size_t limit) {
    std::string value(directories);
    if (oldPath) value += *oldPath;
    if (value.size() <= limit) return {std::move(value), false};
    // The last entry boundary within the limit: a ";" outside quotes, at most at `limit`.
    size_t cut = 0;
    bool quoted = false;
    for (size_t i = 0; i <= limit; ++i) {
        if (value[i] == '"') quoted = !quoted;
        else if (value[i] == ';' && !quoted) cut = i;
    }
    value.resize(cut);
    return {std::move(value), true};
}

PathValue pathWithDirectoryAppended(std::string_view path, std::string_view directory, size_t limit) {
    std::string tail = ";";
    tail += directory;
    if (path.size() + tail.size() <= limit) return {std::string(path) + tail, false};
    size_t room = limit > tail.size() ? limit - tail.size() : 0;
    PathValue kept = pathWithLibraries("", std::string(path), room);
    kept.value += tail;
    kept.shortened = true;
    return kept;
}

}  // namespace kestro
