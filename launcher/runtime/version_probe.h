// Learning a runtime's version by running its java executable with "-version" and
// reading the line with the version that it writes to standard error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// Runs `javaExe` with "-version" (at most `limitMs`, 60 s unless a test shortens it) and
// fills `version` from the version line of its standard error. A run that ends with a
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

// How much of the probe's output is read. A runtime prints "Picked up JAVA_TOOL_OPTIONS:
// ..." (and the like for _JAVA_OPTIONS and JDK_JAVA_OPTIONS) before its version line,
// each line as long as its variable, which may hold 32767 characters.
inline constexpr size_t kProbeOutputLimit = 128 * 1024;
inline constexpr size_t kProbeLineLimit = 16;

// The version of the first of the output's first kProbeLineLimit lines that has the
// version form (read as versionFromProbeLine reads a line: its first 99 characters, "\r\n"
// as "\n"); the lines before it, such as the "Picked up" notes, are passed by. None
// when no line has it.
std::optional<std::string> versionFromProbeOutput(std::string_view output);

}  // namespace kestro
