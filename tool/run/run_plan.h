// The choices of `kestro run` that need no process: which programs it uses, where its
// files go, and where the stand-in runtime must lie for the launcher's own search to find
// it. The command itself is tool/commands/run_command_posix.cpp.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kestro::tool::run {

namespace fs = std::filesystem;

// What the caller's system says: a variable's value (none when unset), and whether a
// path names a program this user may run.
struct HostQueries {
    std::function<std::optional<std::string>(const std::string& name)> variable;
    std::function<bool(const fs::path&)> isProgram;
};

// The Wine program: the one $WINE names, else wine64 or wine on PATH, else Debian's
// /usr/lib/wine/wine64 (the wine64 package puts nothing on PATH). Throws
// std::runtime_error saying what to install when there is none.
fs::path findWine(const HostQueries& host);

// The host's java: DIR/bin/java of --java-home DIR, else the first java on PATH. Throws
// std::runtime_error when there is none.
fs::path findJava(const std::optional<fs::path>& javaHome, const HostQueries& host);

// Where kestro run keeps its Wine prefix and working files: $XDG_CACHE_HOME/kestro when
// that is an absolute path, else $HOME/.cache/kestro. Throws when neither is set.
fs::path cacheDirectory(const HostQueries& host);

// How a stand-in runtime laid out in a directory of kestro run's own reaches the
// launcher's search: through the first variable entry of its search list ("E" +
// name), else through KESTRO_JAVA_HOME, which every launcher tries last.
struct RuntimeRoute {
    std::string variable;
    bool fromSearchList = false;
};

// `searchList` is the stored list ("Rjre;EJAVA_HOME;Y"); none when the launcher has
// none.
RuntimeRoute routeFor(const std::optional<std::string>& searchList);

// A Linux path as Wine shows it to Windows programs: drive Z: is the root.
std::string windowsPath(const fs::path& linuxPath);

// The stand-in java.exe's setting that makes it print `versionText` (the host java's
// "-version" output) as a Windows java would: line ends "\r\n", escaped for its
// settings file.
std::string versionSetting(const std::string& versionText);

// The launcher's version bounds as kestro build stored them, and the host java's
// "-version" output.
struct VersionBounds {
    std::string lower, upper;
    bool prereleaseAllowed = false;
};

// What kestro run says before the run when the launcher's own check would refuse the
// host JDK (the stand-in reports that JDK's version): the JDK, its version, the bounds
// and the settings that hold them, and --java-home. None when the check passes, and when
// the output names no version (the launcher then says what it found).
std::optional<std::string> boundsNotice(const VersionBounds& bounds, const std::string& versionText,
                                        const fs::path& java);

}  // namespace kestro::tool::run
