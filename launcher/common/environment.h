#pragma once

#include <optional>
#include <string>

namespace kestro {

// The value of environment variable `name`, read into the launcher's 8192-byte text
// buffer; empty when it is unset, empty, or too long for the buffer.
std::string environmentVariable(const char* name);

// The whole value of environment variable `name`, however long; none when it is unset.
std::optional<std::string> environmentValue(const char* name);

}  // namespace kestro
