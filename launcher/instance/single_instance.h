#pragma once

#include <string>

namespace kestro {

// Registers this start as an instance; in single-instance mode a second start hands its
// arguments to the first and ends the process with exit code 0.
void checkSingleInstance(bool allowNumbering, bool notify);

// The name of this process's instance semaphore, handed to the application; empty
// until the instance step has named it (it never does in a language restart).
std::string& instanceSemaphoreName();

}  // namespace kestro
