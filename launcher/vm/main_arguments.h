// What the Java launcher class is and what its main receives.
#pragma once

#include <vector>

#include "common/text.h"
#include "vm/vm_system.h"

namespace kestro {

// "com/velmora/runtime/launcher/WinLauncher" in the velmora flavour,
// "com/kestro/runtime/WinLauncher" in every other.
const char* launcherClassName();

// Appends the five leading arguments: GUI application (key 107 exactly 1), the main
// class (key 122; with a main module, key 10207, the class given after its "/", else
// empty), the error and output log paths (keys 102/103 and 104/105; empty when
// switched off), and the flag of key 106.
void launcherArguments(std::vector<Utf16>& out, const VmSystem& system);

// The whole argument list of main: the launcher arguments, the executable as written
// (empty when the command line was),
// the fixed arguments of key 124, then the user's arguments without the "-J" ones (when
// key 125 makes them VM options) and without "-Dsun.locale.formatasdefault=" ones.
std::vector<Utf16> mainArguments(const std::vector<Utf16>& commandLine, const VmSystem& system);

}  // namespace kestro
