// Support for tests of the working files: contents to include, hand-made file records,
// and what a run left behind in its temporary root.
#pragma once

#include "harness.h"

namespace kestro::e2e {

// n bytes in which every byte value occurs, in an order that does not repeat every 256.
std::string everyByteValue(size_t n);

// A block followed by included files' records as the block stores them: the 8-byte
// size (`declaredSize` when given), then the bytes scrambled.
std::vector<uint8_t> withRecords(const format::BlockHead& head, const std::vector<std::string>& contents,
                                 int64_t lastDeclaredSize = -1);

// The run directories ("kst....tmp_dir...") and the unique files ("kst....tmp") in a root.
std::vector<fs::path> runDirectories(const fs::path& root);
std::vector<fs::path> uniqueFiles(const fs::path& root);

// The run's temporary directory as its trace announced it ("Temp dir: "), and the Unix
// path of that Windows path.
std::string announcedDirectory(const RunResult& r);
fs::path unixPath(const std::string& windowsPath);

}  // namespace kestro::e2e
