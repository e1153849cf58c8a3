// The process environment. Values are read in UTF-16, the environment's own form, and
// given as 8-bit text by the "?" rule of the file functions' code page: the system's
// own 8-bit call would turn a letter the code page lacks into a look-alike ("Ł" as
// "L"), naming another directory that any user may create.
#pragma once

#include <optional>
#include <string>

#include "common/text.h"

namespace kestro {

// The value of environment variable `name`, read into the launcher's 8192-byte text
// buffer; empty when it is unset, empty, or too long for the buffer.
std::string environmentVariable(const char* name);

// The whole value of environment variable `name`, however long; none when it is unset.
std::optional<std::string> environmentValue(const char* name);

// A ";"-separated list of directories (PATH) for an 8-bit consumer (a VM option, the
// 8-bit file functions): each entry that the code page lacks is given in its short
// (8.3) form, or, without one, by the "?" rule with a trace line.
std::optional<std::string> directoryListValue(const char* name);

// The same in UTF-16, for values the launcher changes and writes back.
std::optional<Utf16> environmentValueUtf16(const char* name);

// Sets `name` in the process environment and in the C runtime's own table, in UTF-16.
// False, with the system's error code as the last error, when the process environment
// refuses it.
[[nodiscard]] bool setEnvironmentValue(const char* name, const Utf16& value);

}  // namespace kestro
