// Names of included files: where the launcher writes each file below its temporary
// directory. The same rules guard the build (nothing may point outside that directory
// or break the ";"-separated name list) and extraction by inspect.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kestro::tool {

// The stored form of a name ("/" turned into "\"). Throws SettingError saying what is
// wrong: empty, absolute, a drive, "." or ".." components, ";", characters Windows
// does not allow in file names, device names ("nul", "aux.jar"), or more than one
// directory level.
std::string normaliseIncludedName(std::string_view name);

// The relative path a stored name extracts to. Throws SettingError for a name that
// normaliseIncludedName would refuse.
std::filesystem::path includedNamePath(std::string_view storedName);

// Windows compares file names without regard to case; two included files differing only
// in case would overwrite each other.
std::string foldedName(std::string_view storedName);

}  // namespace kestro::tool
