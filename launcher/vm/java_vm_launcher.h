// The VM start: creating the Java VM in this process with the launcher's options and
// calling main of the Java launcher class.
#pragma once

#include <vector>

#include "common/text.h"

namespace kestro {

// Creates the VM, runs the first-run hook (velmora flavour) and main of the launcher
// class, then destroys the VM when `destroyVm` is set (waiting for the application's
// threads). True when main returned normally or the first-run hook stopped the start;
// false when the VM could not be created. A missing launcher class or main method, main
// ending with an exception (the application's, or the runtime library's for a main
// class or main method it cannot find), a missing mandatory class path entry and a Java
// array or string that cannot be made end the process with their report.
[[nodiscard]] bool launchProgram(const std::vector<Utf16>& arguments, bool destroyVm);

}  // namespace kestro
