// The class path option: "-Djava.class.path=" and a ";"-separated list of the class
// path directives, the archives of the temporary directory, the runtime jar (velmora
// flavour) and the configured entries (key 121). The list never holds an empty element.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "format/config_keys.h"
#include "vm/vm_options.h"
#include "vm/vm_system.h"

namespace kestro {

// A mandatory entry that was not found: the message to show (1006 for a file or
// directory, 1008 for an environment variable) and the entry's expanded name.
struct ClassPathFailure {
    msg::MessageId message;
    std::string name;
};

// Fills `option` with the complete "-Djava.class.path=" option: prefix directive;
// archives of the temporary directory and of its "user" sub-directory (only when
// there is a temporary directory); the runtime jar; the replacement directive or the
// configured entries; suffix directive. Empty elements (doubled, leading or trailing
// separators) are left out, and the text is passed whole; a class path of nothing is the
// executable's path. A failure leaves `option` alone.
[[nodiscard]] std::optional<ClassPathFailure> buildClassPath(const ClassPathDirectives& directives,
                                                             std::string& option, const VmSystem& system);

// Appends every file of `directory` with the extension (jar files: "jar") and ";";
// false when the directory does not exist. A trailing backslash of `directory` is ignored.
bool appendArchives(std::string& classPath, const std::string& directory, const char* extension,
                    const VmSystem& system);

// The names in `directory` that end in the extension, in the file system's order.
std::vector<std::string> listMatchingFiles(const std::string& directory, const char* extension,
                                           const VmSystem& system);

// In the velmora flavour appends the runtime jar below the application directory
// (key 10003), whether it exists or not; in the kestro flavour the runtime library from
// the per-user cache, when there is one.
void appendRuntimeJar(std::string& classPath, const VmSystem& system);

// Appends the entries of key 121; stops at the first mandatory entry not found. An
// archive or directory entry of several paths is found when each of them exists, and
// the first missing one names it.
[[nodiscard]] std::optional<ClassPathFailure> appendConfiguredEntries(std::string& classPath, const VmSystem& system);

}  // namespace kestro
