// Support for tests of the working files: contents to include, hand-made file records,
// and what a run left behind in its temporary root.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"

namespace kestro::e2e {

// Writes `content` to `path` (creating its directory) and returns the path.
fs::path writeBytes(const fs::path& path, const std::string& content);
std::string readBytes(const fs::path& path);

// n bytes in which every byte value occurs, in an order that does not repeat every 256.
std::string everyByteValue(size_t n);

// An included file's record as the block stores it: the 8-byte size, then the bytes
// scrambled. `declaredSize` overrides the size field.
std::vector<uint8_t> fileRecord(const std::string& content, int64_t declaredSize = -1);

// A launcher block from a head and raw bytes after it.
std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b);

// The run directories ("kst....tmp_dir...") and the unique files ("kst....tmp") in a root.
std::vector<fs::path> runDirectories(const fs::path& root);
std::vector<fs::path> uniqueFiles(const fs::path& root);

// The rest of the first trace line that begins with `prefix`; empty when there is none.
std::string tracedAfter(const RunResult& r, const std::string& prefix);
int countTraced(const RunResult& r, const std::string& prefix);

// The Unix path of a Windows path that Wine maps through Z:.
fs::path unixPath(const std::string& windowsPath);

}  // namespace kestro::e2e
