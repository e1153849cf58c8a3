#pragma once

#include <cstdint>

namespace kestro {

// The one way a launcher start ends early: removes this run's temporary directory, if
// one was made, and ends the process with `code` at once. A created VM is not destroyed.
[[noreturn]] void exitLauncher(uint32_t code);

}  // namespace kestro
