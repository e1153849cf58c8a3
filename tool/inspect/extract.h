// Writing a launcher's included files back out.
#pragma once

#include <filesystem>

#include "tool/inspect/launcher_contents.h"
#include "tool/resources/resource_export.h"

namespace kestro::tool {

// Where `--extract` puts a resource, relative to its directory:
// resources/<type>-<id>-<language>.bin.
std::filesystem::path resourcePath(const format::Resource& resource);

// The files that the readable resource settings name (the icon file, the splash image,
// a manifest of the user's), with names below the extraction directory
// ("resources/icon.ico").
std::vector<resources::ResourceFile> readableResourceFiles(const LauncherContents& contents);

// Writes every included file of `launcher` below `dir` (created if missing), in the
// clear, every resource at its resourcePath, and the readableResourceFiles. Throws std::runtime_error for a name
// that would land outside `dir` or on a resource's file, or a file that cannot be
// written; a file written in part is removed.
void extractFiles(const std::filesystem::path& launcher, const LauncherContents& contents,
                  const std::filesystem::path& dir);

}  // namespace kestro::tool
