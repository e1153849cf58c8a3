// A configuration file that builds a launcher's block again, byte for byte.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tool/inspect/launcher_contents.h"
#include "tool/text/code_page.h"

namespace kestro::tool {

struct ExportResult {
    std::string toml;
    // What the printed configuration cannot reproduce (say, a block that lists a key
    // twice); empty for any block this tool built.
    std::vector<std::string> notes;
    bool listsFiles = false;      // whether [[files]] entries were printed
    bool listsResources = false;  // whether [[resources]] entries were printed
};

// Included files get sources inside `extractDir` when given (relative to the current
// directory, where the printed configuration is to be saved), else sources equal to
// their names (relative to wherever the configuration is saved); resources likewise, at
// their resourcePath.
ExportResult exportConfiguration(const LauncherContents& contents, CodePage cp,
                                 const std::optional<std::filesystem::path>& extractDir);

}  // namespace kestro::tool
