// The two commands of the kestro tool, apart from argument parsing.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "tool/text/code_page.h"

namespace kestro::tool {

struct BuildRequest {
    std::filesystem::path config;
    std::filesystem::path output;
    std::optional<std::filesystem::path> stub;  // default: launcher.exe beside the tool
    bool quiet = false;                         // no line saying what was written, no progress bar
    // Velmora flavour: also write the runtime library where the launcher looks for it,
    // <output's directory>/<application.directory>/.velmora/vlmruntime.jar.
    bool writeRuntimeJar = false;
    // Settings of lower priority than the configuration's (--defaults); see defaults_merge.h.
    std::optional<std::filesystem::path> defaults;
};

// Prints the configuration's warnings to `err`, then (unless quiet) one line saying what
// was written to `out`. Throws ConfigError or std::runtime_error with the message to
// show; a failed build leaves no output file.
void buildLauncher(const BuildRequest& request, std::ostream& out, std::ostream& err);

enum class InspectFormat { Text, Json, Toml };

struct InspectRequest {
    std::filesystem::path launcher;
    InspectFormat format = InspectFormat::Text;
    std::optional<std::filesystem::path> extractDir;
    CodePage codePage = CodePage::Windows1252;
};

// Prints the report to `out` and notes about what a printed configuration cannot
// reproduce to `err`. Throws InspectError or std::runtime_error.
void inspectLauncher(const InspectRequest& request, std::ostream& out, std::ostream& err);

struct RunRequest {
    std::filesystem::path launcher;
    std::vector<std::string> arguments;  // the launcher's
    bool trace = false;                  // print the launcher's trace after the run
    bool keep = false;                   // keep the working files (the prefix is always kept)
    std::optional<std::filesystem::path> runtimeDirectory;  // relative to the launcher's directory
    std::optional<std::filesystem::path> javaHome;          // default: the java on PATH
};

// Runs the launcher under Wine with a stand-in Java runtime and returns its exit code;
// says on `err` where the runtime lies (and, first, that the prefix is being made).
// Throws std::runtime_error for what keeps it from running. Linux only: the Windows tool
// throws at once.
int runLauncher(const RunRequest& request, std::ostream& err);

struct InitRequest {
    std::optional<std::filesystem::path> jar;  // the application's jar, whose manifest is read
    std::filesystem::path output = "app.toml";
};

// Writes a starting configuration to the request's output, which must not exist yet,
// from the jar's manifest when one is named, and says on `out` what it wrote. Throws
// std::runtime_error for an existing output, or a jar that cannot be read.
void writeInitialConfig(const InitRequest& request, std::ostream& out);

}  // namespace kestro::tool

namespace kestro::tool {

struct PackageRequest {
    std::filesystem::path config;
    std::filesystem::path output;               // the .msi
    std::optional<std::filesystem::path> stub;  // as for build
    bool wxsOnly = false;  // write the WiX source (and the launcher beside it) instead of the package
    bool quiet = false;
    std::optional<std::filesystem::path> defaults;  // as for build
};

// Builds the launcher as buildLauncher does (signed when the configuration has
// [signing]) and puts it with the files of [package] into a Windows Installer package,
// then signs that. With wxsOnly, and always in the Windows tool, writes
// <output's stem>.wxs and the launcher beside the output instead and says how to build
// the package. Throws ConfigError or std::runtime_error; a failed run leaves no package.
void packageApplication(const PackageRequest& request, std::ostream& out, std::ostream& err);

}  // namespace kestro::tool
