// Writing a launcher's included files back out.
#pragma once

#include <filesystem>

#include "tool/launcher_contents.h"

namespace kestro::tool {

// Writes every included file of `launcher` below `dir` (created if missing), in the
// clear. Throws std::runtime_error for a name that would land outside `dir` or a file
// that cannot be written; a file written in part is removed.
void extractFiles(const std::filesystem::path& launcher, const LauncherContents& contents,
                  const std::filesystem::path& dir);

}  // namespace kestro::tool
