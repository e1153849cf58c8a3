#include "tool/run/run_plan.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <vector>

#include "format/version_order.h"

namespace kestro::tool::run {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (size_t from = 0; from <= text.size();) {
        size_t end = std::min(text.find(separator, from), text.size());
        parts.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return parts;
}

std::optional<fs::path> onPath(const std::string& name, const HostQueries& host) {
    for (const std::string& directory : split(host.variable("PATH").value_or(""), ':')) {
        // An empty entry is the current directory, as the shell reads it.
        fs::path candidate = fs::path(directory.empty() ? "." : directory) / name;
        if (host.isProgram(candidate)) return candidate;
    }
    return std::nullopt;
}

std::string upper(std::string text) {
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

}  // namespace

fs::path findWine(const HostQueries& host) {
    if (auto named = host.variable("WINE"); named && !named->empty()) {
        if (host.isProgram(*named)) return *named;
        throw std::runtime_error("WINE names " + *named + ", which is not a program");
    }
    for (const char* name : {"wine64", "wine"})
        if (auto found = onPath(name, host)) return *found;
    fs::path debian = "/usr/lib/wine/wine64";
    if (host.isProgram(debian)) return debian;
    throw std::runtime_error(
        "kestro run needs Wine, which is not installed: install the Debian package wine64 "
        "(sudo apt-get install wine64), or name the wine program in WINE");
}

fs::path findJava(const std::optional<fs::path>& javaHome, const HostQueries& host) {
    if (javaHome) {
        fs::path java = *javaHome / "bin" / "java";
        if (host.isProgram(java)) return java;
        throw std::runtime_error("--java-home " + javaHome->string() + ": no JDK there (no bin/java)");
    }
    if (auto found = onPath("java", host)) return *found;
    throw std::runtime_error(
        "kestro run needs a JDK on this machine to run the application, and there is no java on PATH: "
        "install one (sudo apt-get install default-jdk) or name it with --java-home DIR");
}

fs::path cacheDirectory(const HostQueries& host) {
    if (auto xdg = host.variable("XDG_CACHE_HOME"); xdg && fs::path(*xdg).is_absolute()) return fs::path(*xdg) / "kestro";
    if (auto home = host.variable("HOME"); home && !home->empty()) return fs::path(*home) / ".cache" / "kestro";
    throw std::runtime_error("kestro run keeps its Wine prefix in the cache directory: set HOME or XDG_CACHE_HOME");
}

RuntimeRoute routeFor(const std::optional<std::string>& searchList) {
    for (const std::string& entry : split(searchList.value_or(""), ';')) {
        if (entry.size() < 2 || entry[0] != 'E') continue;
        // Wine sets these from its registry whatever its caller's environment holds.
        std::string name = entry.substr(1);
        if (upper(name) == "PATH" || upper(name) == "TMP" || upper(name) == "TEMP") continue;
        return {name, true};
    }
    return {"KESTRO_JAVA_HOME", false};
}

std::string windowsPath(const fs::path& linuxPath) {
    std::string text = linuxPath.string();
    std::ranges::replace(text, '/', '\\');
    return "Z:" + text;
}

std::string versionSetting(const std::string& versionText) {
    std::string out = "stderr=";
    for (size_t i = 0; i < versionText.size(); ++i) {
        char c = versionText[i];
        if (c == '\n' && (i == 0 || versionText[i - 1] != '\r')) out += "\\r";
        out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\\' ? "\\\\" : std::string(1, c);
    }
    return out + "\n";
}

std::optional<std::string> boundsNotice(const VersionBounds& bounds, const std::string& versionText,
                                        const fs::path& java) {
    // The quoted version of the first line that has one, as a runtime prints it
    // ("openjdk version \"17.0.9\" 2023-10-17"), after notes such as "Picked up ...".
    std::optional<std::string> version;
    for (const std::string& line : split(versionText, '\n')) {
        size_t open = line.find(" version \"");
        if (open == std::string::npos) continue;
        open += 10;
        size_t close = line.find('"', open);
        if (close != std::string::npos && close > open) version = line.substr(open, close - open);
        break;
    }
    if (!version) return std::nullopt;
    std::optional<std::string> refused =
        versionRejection(*version, bounds.lower, bounds.upper, bounds.prereleaseAllowed);
    if (!refused) return std::nullopt;
    std::string settings;
    if (isPrereleaseVersion(*version) && !bounds.prereleaseAllowed) settings = "java.allow_prerelease is not set";
    else
        for (const auto& [name, bound] : {std::pair{"java.min_version", bounds.lower}, {"java.max_version", bounds.upper}})
            if (!bound.empty()) settings += (settings.empty() ? "" : ", ") + std::string(name) + " = \"" + bound + "\"";
    return "the launcher's version bounds exclude the JDK that would run the application (" + java.string() +
           ": " + *refused + "; " + settings +
           "), so its search will find no runtime. Name a JDK they admit with --java-home DIR.";
}

}  // namespace kestro::tool::run
