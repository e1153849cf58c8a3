// The VM options of a modular application (key 10207 names its main module): the
// module path, the main module as the root of the boot layer, as `java -m` makes it,
// and an export of the module system's internals to the runtime library, which calls
// the application's main from the class path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vm/vm_system.h"

namespace kestro {

// The main class given with the module ("com.example.app/com.example.app.Main"), empty
// for a module alone, whose descriptor names its main class.
std::string_view moduleMainClass(std::string_view mainModule);

// Appends, for a non-empty `mainModule`: "--module-path=" with the entries of
// `modulePath` (";"-separated; variables expanded, each path resolved against the
// launcher's directory, empty ones left out), when there are any; "-Djdk.module.main="
// with the module's name; and the export that the runtime library needs to open the
// application's module to itself. Appends nothing for an empty `mainModule`.
void appendModuleOptions(std::string_view mainModule, std::string_view modulePath, const VmSystem& system,
                         std::vector<std::string>& options);

}  // namespace kestro
