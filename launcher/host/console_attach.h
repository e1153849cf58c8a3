// The decision of the console service, apart from the system calls.
#pragma once

#include <cstdint>

namespace kestro {

inline constexpr uint32_t kErrorAccessDenied = 5;

// Whether the attempt to attach to the parent's console leaves the process with one:
// it attached, or the system refused with access denied because the process already
// has a console (a console program, or a second console switch). False means a new
// console must be created.
bool attachedToConsole(bool attached, uint32_t error);

}  // namespace kestro
