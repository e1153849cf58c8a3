// Writing a launcher's included files back out.
#pragma once

#include <filesystem>

#include "tool/launcher_contents.h"

namespace kestro::tool {

// Where `--extract` puts a resource, relative to its directory:
// resources/<type>-<id>-<language>.bin.
std::filesystem::path resourcePath(const format::Resource& resource);

// Writes every included file of `launcher` below `dir` (created if missing), in the
// clear, and every resource at its resourcePath. Throws std::runtime_error for a name
// that would land outside `dir` or on a resource's file, or a file that cannot be
// written; a file written in part is removed.
void extractFiles(const std::filesystem::path& launcher, const LauncherContents& contents,
                  const std::filesystem::path& dir);

}  // namespace kestro::tool
