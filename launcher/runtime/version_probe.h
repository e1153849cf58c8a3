// Learning a runtime's version by running its java executable with "-version" and
// reading the first line that it writes to standard error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// Runs `javaExe` with "-version" (at most `limitMs`, 60 s unless a test shortens it) and
// fills `version` from the first line of its standard error. A run that ends with a
// non-zero exit code is remembered in the version cache as the failed-probe version
// under `lastWrite`. False when the child cannot start, outlives the limit, fails, or
// prints no recognised line; `version` is then left alone.
inline constexpr uint32_t kProbeLimitMs = 60000;
[[nodiscard]] bool probeJavaVersion(const std::string& javaExe, uint64_t lastWrite, std::string& version,
                                    uint32_t limitMs = kProbeLimitMs);

// The probe's command line: the program in double quotes, so that a path with spaces
// cannot start a program named by its first words, then " -version".
std::string probeCommandLine(std::string_view program);

// The version in the first line of a runtime's "-version" output, as read in text mode
// (at most 99 characters, with its line feed when the line was complete): the text
// after "java version \"" or "openjdk version \"" up to the closing quote; without
// one, the rest less the line feed and the one character before it. None for another
// line or an empty version.
std::optional<std::string> versionFromProbeLine(std::string_view line);

}  // namespace kestro
