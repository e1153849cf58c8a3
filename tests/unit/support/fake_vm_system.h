// An in-memory stand-in for what the VM start asks of the system: files, directory
// listings, the environment and the launcher's paths, with Windows path rules kept
// simple (the launcher lives in C:\App\, names compare as written).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "vm/vm_system.h"

namespace kestro::testing {

struct FakeVmState {
    std::map<std::string, std::string> files;                     // path -> content
    std::map<std::string, std::vector<std::string>> directories;  // path -> names, in listing order
    std::map<std::string, std::string> environment;
    std::string modulePath = "C:\\App\\app.exe";
    std::string tempDir;
    std::string runtimeLibrary;  // the cached runtime library, when used
};

// Cleared by resetFakeVm, which also empties the configuration, the launcher state
// and the recorded trace.
FakeVmState& fakeVm();
void resetFakeVm();
const VmSystem& fakeVmSystem();

}  // namespace kestro::testing
