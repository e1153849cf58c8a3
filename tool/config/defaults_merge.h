// A second, lower-priority configuration (kestro build app.toml --defaults derived.toml):
// settings that a build system derives (the main class, the application's jars, the
// version information) and that the user's own file may override.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <toml++/toml.h>

namespace kestro::tool {

// Moves into `user` what `defaults` sets and `user` does not: per setting, table by table.
// The lists that gather entries ([[files]], [[resources]], classpath.entries,
// [[package.files]], [[package.file_associations]]) take the defaults' entries after the
// user's; an included file of the defaults whose name a user's entry takes is left out.
// Where both set a setting differently, or the user's [keys] sets its key, the user's
// value stays and a warning names the user's line and the defaults' setting; the
// version information ([version]) is the user's to replace without a word, and a user's
// table with generate = false takes none of the defaults' table. Relative paths of the
// defaults become absolute, taken from the defaults file's directory. The nodes keep
// their source, so that later messages about a defaults value name the defaults file.
// Returns the warnings, "app.toml:3: warning: ...", in the user's file's line order.
std::vector<std::string> mergeDefaults(toml::table& user, toml::table& defaults,
                                       const std::filesystem::path& userFile,
                                       const std::filesystem::path& defaultsFile);

}  // namespace kestro::tool
