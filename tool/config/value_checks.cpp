#include "tool/config/value_checks.h"

#include <algorithm>
#include <vector>

#include "format/version_order.h"
#include "tool/settings/setting_error.h"
#include "tool/text/version_text.h"

namespace kestro::tool {

namespace {

bool endsWithFolded(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    return std::ranges::equal(text.substr(text.size() - suffix.size()), suffix,
                              [](char a, char b) { return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b; });
}

// The dotted class name a file path such as "/com/acme/Main.class" stands for.
std::string dottedName(std::string_view path) {
    for (std::string_view suffix : {".class", ".java"})
        if (endsWithFolded(path, suffix)) path.remove_suffix(suffix.size());
    while (!path.empty() && (path.front() == '/' || path.front() == '\\')) path.remove_prefix(1);
    std::string name(path);
    std::ranges::replace(name, '/', '.');
    std::ranges::replace(name, '\\', '.');
    return name;
}

// ASCII letters, digits, "_" and "$", not beginning with a digit; bytes beyond ASCII
// are taken as the letters of other scripts that Java allows.
bool isJavaIdentifier(std::string_view part) {
    if (part.empty() || (part[0] >= '0' && part[0] <= '9')) return false;
    return std::ranges::all_of(part, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
               uint8_t(c) >= 0x80;
    });
}

std::vector<std::string_view> dottedParts(std::string_view name) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        size_t dot = name.find('.', start);
        parts.push_back(name.substr(start, dot == std::string_view::npos ? dot : dot - start));
        if (dot == std::string_view::npos) return parts;
        start = dot + 1;
    }
}

}  // namespace

void checkApplicationType(int32_t type) {
    if (type < 0 || type > 5)
        throw SettingError(std::to_string(type) +
                           " is no application type; give \"gui\", \"console\" or 5 (a console runtime whose errors "
                           "still show in message boxes)");
}

std::optional<std::string> applicationTypeWarning(int32_t type) {
    if (type == 0 || type == 3 || type == 4)
        return "application.type " + std::to_string(type) +
               " has no meaning of its own; the launcher treats it as \"console\" (2)";
    return std::nullopt;
}

void checkMainClass(std::string_view name) {
    bool path = name.find_first_of("/\\") != std::string_view::npos;
    if (path || endsWithFolded(name, ".class") || endsWithFolded(name, ".java")) {
        std::string dotted = dottedName(name);
        throw SettingError("\"" + std::string(name) + "\" is a file " + (path ? "path" : "name") +
                           ", not a class name; give the class with dots" +
                           (dotted.empty() ? "" : ": \"" + dotted + "\""));
    }
    if (endsWithFolded(name, ".jar"))
        throw SettingError("\"" + std::string(name) +
                           "\" names a jar file, not a class; give the class that has the main method, such as "
                           "\"com.example.Main\", and the jar in classpath.entries");
    if (std::ranges::any_of(name, [](char c) { return uint8_t(c) <= ' ' || c == 0x7F; }))
        throw SettingError("\"" + std::string(name) + "\" contains a space or a control character; a class name has none");
    if (!name.empty() && std::ranges::any_of(dottedParts(name), &std::string_view::empty))
        throw SettingError("\"" + std::string(name) + "\" has an empty part between dots");
}

std::optional<std::string> mainClassWarning(std::string_view name) {
    if (name.empty()) return "application.main_class is empty; the launcher class would have no application to start";
    for (std::string_view part : dottedParts(name))
        if (!isJavaIdentifier(part))
            return "application.main_class \"" + std::string(name) + "\": '" + std::string(part) +
                   "' is not a Java identifier";
    return std::nullopt;
}

void checkMainModule(std::string_view text) {
    size_t slash = text.find('/');
    std::string_view module = text.substr(0, slash);
    auto refuse = [&](std::string_view name, std::string_view what) {
        for (std::string_view part : dottedParts(name))
            if (!isJavaIdentifier(part))
                throw SettingError("\"" + std::string(text) + "\": " + std::string(what) + " \"" + std::string(name) +
                                   "\" is no dotted name of Java identifiers" +
                                   (part.empty() ? std::string() : " ('" + std::string(part) + "' is not one)") +
                                   "; write \"com.example.app\" or \"com.example.app/com.example.app.Main\"");
    };
    refuse(module, "the module's name");
    if (slash != std::string_view::npos) refuse(text.substr(slash + 1), "the main class");
}

void checkVersionBound(std::string_view bound) {
    if (!bound.empty() && !isVersionText(bound))
        throw SettingError("\"" + std::string(bound) +
                           "\" is not a Java version such as \"1.8\", \"17.0.2\" or \"1.8.0_202\" (empty for no bound)");
}

std::optional<std::string> versionBoundWarning(std::string_view bound) {
    // "1.11" would rank below every Java from 9 on, which report "9", "10", "11", ...
    if (bound.size() < 3 || bound.substr(0, 2) != "1.") return std::nullopt;
    std::string_view minor = bound.substr(2, bound.find_first_of("._-+", 2) - 2);
    if (minor.empty() || !std::ranges::all_of(minor, [](char c) { return c >= '0' && c <= '9'; }) ||
        kestro::compareWithBound(minor, "9") < 0)
        return std::nullopt;
    std::string major(minor);
    return "\"" + std::string(bound) + "\" is not how Java " + major + " numbers itself: from Java 9 on, versions " +
           "begin \"9\", \"10\", \"11\", ..., and each of them ranks above \"" + std::string(bound) + "\"; write \"" +
           major + "\"";
}

bool versionBoundsExclude(std::string_view min, std::string_view max) {
    return !min.empty() && !max.empty() && kestro::compareWithBound(min, max) > 0;
}

std::vector<PieceWarning> vmOptionWarnings(const std::vector<std::string>& pieces) {
    std::vector<PieceWarning> warnings;
    auto quoted = [](std::string_view text) { return "\"" + std::string(text) + "\""; };
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string& piece = pieces[i];
        bool last = i + 1 == pieces.size();
        if (piece == "-include-options") {
            if (last) warnings.push_back({i, quoted(piece) + " has no file after it; the launcher passes it to the VM "
                                                             "as an option of its own"});
            ++i;  // the launcher joins it with the next piece
        } else if (piece == "-classpath" || piece == "-classpath/p" || piece == "-classpath/a") {
            if (last)
                warnings.push_back({i, quoted(piece) + " has no value; on its own it is no class path directive, and "
                                                       "the launcher passes it to the VM as an option"});
            else
                warnings.push_back({i, quoted(piece) + " and " + quoted(pieces[i + 1]) +
                                           " are two options, but the launcher takes a class path directive only as "
                                           "one: write " + quoted(piece + " " + pieces[i + 1])});
            ++i;  // its value is said with it
        } else if (piece == "-cp" || piece.starts_with("-cp ")) {
            std::string value = piece.size() > 4 ? piece.substr(4) : "...";
            warnings.push_back({i, "the launcher knows no \"-cp\"; write " + quoted("-classpath " + value) +
                                       " (in place of classpath.entries), " + quoted("-classpath/p " + value) +
                                       " (before them) or " + quoted("-classpath/a " + value) + " (after them)"});
        } else if (!piece.empty() && piece[0] != '-') {
            warnings.push_back({i, quoted(piece) + " does not begin with \"-\", yet the launcher passes it to the VM as an "
                                                   "option of its own",
                                true});
        } else if (piece.starts_with("-Djava.class.path=")) {
            warnings.push_back({i, "the launcher passes its own class path after every other option, so " +
                                       quoted("-Djava.class.path=") +
                                       " here has no effect; use classpath.entries, or \"-classpath/p ...\" / "
                                       "\"-classpath/a ...\" to add before or after them"});
        }
    }
    return warnings;
}

}  // namespace kestro::tool
