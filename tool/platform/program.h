// What the tool asks of the system it runs on, beyond opening files
// (format/native_file.h): where its own program file lies. The stub and the runtime
// libraries are installed beside it.
#pragma once

#include <filesystem>

namespace kestro::tool {

// The directory of the running kestro program; empty when the system does not say.
std::filesystem::path programDirectory();

}  // namespace kestro::tool
