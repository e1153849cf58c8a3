// The kestro program run as a user runs it, in a workspace of its own: the fixture of
// the command-line tests, against the Linux tool or, with KESTRO_CLI_WINDOWS set,
// kestro.exe under Wine.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include "../unit/tool/tool_test_support.h"

namespace kestro::tool::cli {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// Every kind of content a block can hold, with included files at the top of the
// temporary directory and one level down.
inline const char* const kFullConfig = R"(
java.search_order = [{ relative_directory = ".\\jre" }, { variable = "MYAPP_JAVA" }, "registry", "search-path"]
java.min_version = "1.8"
vm.options = ["-Xmx512m", "-Dgreeting=Grüße aus Köln"]
classpath.entries = [{ archive = ".\\.velmora\\user.jar", mandatory = false }, { scan = "lib" }]
messages.caption = "Fehler"
keys.101 = "kept as is"
wide.5000 = "Hello ☃"
locale = [{ prefix = "de", wide = { 5000 = "Grüß Gott 𝄞" } }]
files = [{ source = "input/app.jar", name = "lib/app.jar" }, { source = "input/readme.txt" }]
resources = [{ type = 10, id = 10000, file = "input/splash.png" },
             { type = 777, id = 3, language = 1031, file = "input/readme.txt" }]
[application]
main_class = "com.example.Main"
type = "gui"
arguments = ["--mode", "fast lane", "it's"]
flavour = "velmora"
)";

// The suite runs against the Linux tool, and again against kestro.exe under Wine with
// KESTRO_CLI_WINDOWS set.
inline bool windows() { return std::getenv("KESTRO_CLI_WINDOWS") != nullptr; }
inline fs::path toolPath() { return fs::path(KESTRO_TOOL_DIR) / (windows() ? "kestro.exe" : "kestro"); }

// A relative path as the tool shows it: Windows writes its own separator.
inline std::string native(std::string path) {
    if (windows()) std::ranges::replace(path, '/', '\\');
    return path;
}
// An absolute path as the tool shows it: Wine reaches the Linux root as drive Z:.
inline std::string shown(const fs::path& path) { return windows() ? "Z:" + native(path.string()) : path.string(); }

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string jar(200000, '\0');
        std::generate(jar.begin(), jar.end(), [n = 0u]() mutable { return char((n++ * 7919u) >> 3); });
        writeFile(ws_ / "input/app.jar", jar);
        writeFile(ws_ / "input/readme.txt", "read me\n");
        writeFile(ws_ / "input/splash.png", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11));
        writeFile(ws_ / "app.toml", kFullConfig);
    }

    struct Run {
        int exitCode;
        std::string out, err;
    };

    // Runs the tool under test in the workspace.
    Run kestro(const std::vector<std::string>& args) { return run(toolPath(), args); }

    // A copy of the tool (Windows: under Wine, which the test's environment sets up,
    // without a display).
    Run run(const fs::path& program, const std::vector<std::string>& args) {
        std::string command = "cd '" + ws_.path.string() + "' && " +
                              (windows() ? "DISPLAY= /usr/lib/wine/wine64 " : "") + "'" + program.string() + "'";
        for (const auto& a : args) command += " '" + a + "'";
        for (int attempt = 1;; ++attempt) {
            int status = std::system((command + " >.out 2>.err").c_str());
            Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(ws_ / ".out"), wineless(readFile(ws_ / ".err"))};
            fs::remove(ws_ / ".out"), fs::remove(ws_ / ".err");
            // Wine now and then fails to set up a new process when others start beside it.
            if (run.err.find("failed to map the shared user data") == std::string::npos || attempt == 3) return run;
        }
    }

    // Standard error without the lines Wine itself writes ("0054:err:winediag:...").
    static std::string wineless(const std::string& err) {
        std::istringstream in(err);
        std::string kept;
        for (std::string line; std::getline(in, line);)
            if (!windows() || !std::regex_search(line, std::regex("^[0-9a-f]{4}:(err|fixme):"))) kept += line + "\n";
        return kept;
    }

    std::set<fs::path> listing() const { return {fs::directory_iterator(ws_.path), {}}; }

    test::TempDir ws_;
};

inline uint16_t subsystemOf(const std::string& image) {
    uint32_t pe = uint8_t(image[60]) | uint8_t(image[61]) << 8;
    return uint8_t(image[pe + 24 + 68]);
}

}  // namespace kestro::tool::cli
