#pragma once

namespace kestro {

// Registers this start as an instance; in single-instance mode a second start hands its
// arguments to the first and ends the process with exit code 0.
void checkSingleInstance(bool allowNumbering, bool notify);

}  // namespace kestro
