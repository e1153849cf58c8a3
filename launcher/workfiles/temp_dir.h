// This run's temporary directory and the names formed below the temporary root.
#pragma once

#include <string>

namespace kestro {

// The temporary directory of this run, without a trailing backslash; empty when none
// was created.
std::string& tempDirPath();

}  // namespace kestro
