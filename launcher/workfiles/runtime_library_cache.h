// The per-user cache of the Java runtime library that launchers carry: one file per
// content under the user's local application data ("Kestro\runtime"), written once,
// atomically, and compared with the launcher's own copy before every use. A warm start
// of a launcher that carries nothing else creates no file and no directory.
#pragma once

#include <optional>
#include <string>

namespace kestro {

// Gives in `path` the cached file that holds exactly `bytes`, written (under a name of
// its own, then renamed) when it is missing or differs; false, leaving `path` as it was,
// when there is no usable cache (no local application data folder, one the code page
// cannot name, a file that cannot be written), and the caller then extracts the
// library as any other file.
[[nodiscard]] bool cachedRuntimeLibrary(const std::string& bytes, std::string& path);

// The runtime library this run put on the class path from the cache; empty when none.
std::string& runtimeLibraryPath();

// Cached versions unused for this long are removed when another version is written.
inline constexpr int64_t kCachedVersionDays = 30;

}  // namespace kestro
