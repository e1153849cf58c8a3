#include "workfiles/path_rules.h"

namespace kestro {

bool isRelativePath(std::string_view path) {
    if (!path.empty() && path[0] == '"') path.remove_prefix(1);
    if (path.size() < 3) return true;
    if (path[1] == ':' && path[2] == '\\') return false;
    return !(path[0] == '\\' && path[1] == '\\');
}

void collapseBackslashRuns(Utf16& path) {
    size_t kept = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        bool followsKeptBackslash = kept >= 2 && path[kept - 1] == u'\\';
        if (path[i] == u'\\' && followsKeptBackslash) continue;
        path[kept++] = path[i];
    }
    path.resize(kept);
}

bool isDriveRootText(std::string_view path) {
    if (path.size() < 2) return false;
    std::string_view rest = path.substr(1);
    return rest == ":\\" || rest == ":\\." || rest == ":\\.\\.";
}

std::string withoutTrailingBackslash(std::string_view path) {
    while (path.size() > 1 && path.back() == '\\' && path[path.size() - 2] != ':' && path[path.size() - 2] != '\\')
        path.remove_suffix(1);
    return std::string(path);
}

std::string directoryPart(std::string_view path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string childPath(std::string_view directory, std::string_view name) {
    std::string out(directory);
    if (out.empty() || out.back() != '\\') out += '\\';
    out += name;
    return out;
}

bool mayEmptyDirectory(std::string_view path) { return !path.empty() && path[0] != '.'; }

bool isRunDirectoryName(std::string_view name) {
    size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
    auto sameLetters = [](std::string_view text, std::string_view lower) {
        for (size_t i = 0; i < lower.size(); ++i)
            if ((text[i] | 0x20) != lower[i] && text[i] != lower[i]) return false;
        return true;
    };
    return digits < name.size() && digits >= 7 && sameLetters(name.substr(0, 3), "kst") &&
           sameLetters(name.substr(digits - 4, 4), "_dir");
}

std::optional<int64_t> runDirectoryTime(std::string_view name) {
    if (!isRunDirectoryName(name)) return std::nullopt;
    size_t digits = name.size();
    while (name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
    if (name.size() - digits > 18) return std::nullopt;
    int64_t seconds = 0;
    for (char c : name.substr(digits)) seconds = seconds * 10 + (c - '0');
    return seconds;
}

void lowerAsciiLetters(Utf16& text) {
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z') c = char16_t(c + (u'a' - u'A'));
}

}  // namespace kestro
