// The options the VM is created with: the launcher's own system properties first, then
// the gathered options and vmoptions files, the class path last.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "vm/class_path.h"
#include "vm/vm_options.h"
#include "vm/vm_system.h"

namespace kestro {

// The values the launcher tells the application through system properties.
struct LauncherPropertyValues {
    std::string semaphoreName;                   // empty when no instance semaphore was named
    bool velmora = false;
    std::string modulePath;
    std::optional<std::string> processCommFile;  // only in single-instance mode (key 10005)
    std::string tempDir;                         // empty without included files
    bool langRestart = false;
    uint32_t unextractedPosition = 0;
    std::string path;                            // the whole PATH; empty when unset
    bool manPathSet = false;                     // MANPATH in the C runtime's environment
    uint32_t consoleOutputCodePage = 0;         // 0 without a console
    uint32_t oemCodePage = 0;                   // what a console would get
};

// The launcher's properties in their fixed order. Without a console the code page is the
// OEM one, which a console opened later gets. Each is cut to 8191 bytes, except
// "-Djava.library.path=", which carries PATH whole: a library path cut short would name
// a directory that does not exist, and the VM takes any length.
std::vector<std::string> launcherProperties(const LauncherPropertyValues& values);

// Fills `options` with the properties, the options of key 123, "-J" arguments and locale
// options, the lines of the vmoptions file beside the executable and the class path,
// in that order, and traces them. A mandatory class path entry that is missing is
// returned and leaves `options` unfinished.
[[nodiscard]] std::optional<ClassPathFailure> gatherVmOptions(const std::vector<std::string>& properties,
                                                              const std::vector<Utf16>& arguments,
                                                              const VmSystem& system, VmOptionList& options);

}  // namespace kestro
