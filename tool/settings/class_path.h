// The class path (key 121) as a TOML list of tables: { archive | directory | variable |
// scan = name, mandatory = bool }. Stored as a type letter, a flag digit and the name,
// entries joined with ";".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <toml++/toml.h>

namespace kestro::tool {

// Throws SettingError for a malformed entry.
std::string encodeClassPath(const toml::node& value);

// The readable list for a stored text; nothing when an entry has no readable form.
std::optional<toml::array> decodeClassPath(std::string_view text);

// The setting under [classpath] that puts included archives of sub-folders on the class
// path.
inline constexpr std::string_view kSubfolderArchivesSetting = "included_subfolder_archives";

// How an entry names a place in the launcher's temporary directory, where the included
// files are: the variable the launcher expands, then the file's stored name.
inline constexpr std::string_view kTempDirReference = "%KESTRO_TEMPDIR%\\";

// The launcher puts on the class path the archives (*.jar, *.zip) at the top of its
// temporary directory and in its "user" sub-folder, but no others. For the included
// files' stored names (UTF-8, "lib\app.jar"), the entries that add the rest: each an
// optional archive below the temporary directory ("A0%KESTRO_TEMPDIR%\lib\app.jar"),
// in the files' order, joined with ";"; empty when there are none.
std::string subfolderArchiveEntries(const std::vector<std::string>& includedNames);

// Listed archives that a scan entry finds too, which then go on the class path twice:
// pairs of indices (the archive's entry, the scan's entry) in the stored entries. Only
// archives that a scan takes (".jar", ".zip") count; an archive's directory and the
// scanned one are the same when their texts agree but for letter case, "/" for "\",
// "." segments and a separator at the end.
std::vector<std::pair<size_t, size_t>> archivesAlsoScanned(std::string_view stored);

}  // namespace kestro::tool
