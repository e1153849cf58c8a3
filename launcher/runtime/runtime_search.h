// Where the launcher looks for a Java runtime, in which order.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kestro {

enum class RuntimeLocationKind { NotFound, OnPath, Directory, EnvironmentVariable, Registered };

// Walks the hint files, the search list (main pass, then the fallback pass over its
// directory entries), previous installations and the two home variables. Fills the
// chosen java executable and the location text that names the place in messages (a
// directory entry's value or a hint line; a variable's name).
RuntimeLocationKind findRuntime(std::string& javaExe, std::string& location);

// The first line of a hint file below the application directory, without its line end;
// none when the file is missing or the line is empty.
std::optional<std::string> readRuntimeHint(const char* fileName);

// The first runtime of the previous installations listed in `hive` that passes.
[[nodiscard]] bool findPreviousInstallation(HKEY hive, std::string& javaExe, const std::string& lowerBound,
                                            const std::string& upperBound);

}  // namespace kestro
