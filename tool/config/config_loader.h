// Reads a configuration file into what the launcher build needs: the block head and
// the files to include.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "format/block_format.h"
#include "format/block_writer.h"
#include "format/resource_section.h"
#include "tool/package/package_settings.h"
#include "tool/resources/resource_settings.h"
#include "tool/text/code_page.h"

namespace kestro::tool {

struct BuildPlan {
    format::BlockHead head;
    std::vector<format::IncludedFile> files;
    std::vector<format::Resource> resources;  // in the order given; none leaves the stub's image as it is
    CodePage codePage = CodePage::Windows1252;  // of the stored texts
    // The launcher's kind of program: build.subsystem, else the application type's.
    uint16_t subsystem = 2;
    // The readable resource settings (splash image, icon, version information,
    // manifest), made into resources when the output's name is known.
    resources::ResourceRequest resourceRequest;
    // Values the launcher takes but almost certainly not as meant, one line each, in
    // file order: "app.toml:7: warning: ...".
    std::vector<std::string> warnings;
    // The file leaves the error box's caption to the defaults, which name it after the
    // application once the output's name is known (nameCaption).
    bool captionFromName = false;
    // [package] and [signing], when the file has them.
    std::optional<packaging::PackageSettings> package;
    std::optional<packaging::SigningSettings> signing;
};

// The name under which kestro launchers carry the Java runtime library, at the top of
// their temporary directory.
inline constexpr std::string_view kRuntimeLibraryName = "kestro-runtime.jar";

// What a build adds of its own to what the configuration file says.
struct BuildInputs {
    // The kestro flavour's Java runtime library, included under kRuntimeLibraryName
    // unless the configuration leaves it out. Empty: nothing is added (for callers that
    // only read a configuration).
    std::filesystem::path runtimeLibrary;
    // The launcher to be written, whose directory relative class path entries are taken
    // from: with it, the build looks for the main class among the archives it can see.
    // Empty: it does not.
    std::filesystem::path output;
    // A second configuration of lower priority (kestro build --defaults): its settings
    // apply where the file sets none; see defaults_merge.h. Empty: none.
    std::filesystem::path defaults;
};

// How a configuration that stops the TOML reader on one of its internal checks is
// reported: never valid TOML, but an input that the reader's own error handling misses.
inline constexpr std::string_view kTomlReaderFault =
    "the TOML reader stopped on one of its internal checks; the file is not valid TOML";

// Every problem found in a configuration file, one line each, in the form
// "app.toml:12: unknown setting 'application.mian_class'", in file order together
// with the warnings.
class ConfigError : public std::runtime_error {
public:
    explicit ConfigError(std::vector<std::string> problems);
    const std::vector<std::string>& problems() const { return problems_; }

private:
    std::vector<std::string> problems_;
};

// With plan.captionFromName, stores the application's name as the error box's caption:
// the product name of the version information the build writes for `output` (which is
// the output's stem unless the file names the product), else the stem; the plain
// default stays when neither has bytes in the plan's code page.
void nameCaption(BuildPlan& plan, const std::filesystem::path& output);

// Throws ConfigError, or std::runtime_error when the file cannot be read.
BuildPlan loadConfiguration(const std::filesystem::path& file, const BuildInputs& inputs = {});

// The same for text already read; included file sources are relative to `file`'s
// directory and messages name `file`.
BuildPlan loadConfiguration(std::string_view text, const std::filesystem::path& file,
                            const BuildInputs& inputs = {});

}  // namespace kestro::tool
