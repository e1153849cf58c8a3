#pragma once

namespace kestro {

// Restarts the computer (the internal reboot invocation).
void rebootSystem();

}  // namespace kestro
