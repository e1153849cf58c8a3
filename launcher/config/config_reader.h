#pragma once

#include <vector>

#include "common/text.h"

namespace kestro {

// Reads the configuration block behind the executable's last section into the
// process-wide tables; the locale is selected on the way from `arguments`. Every
// failure ends the process with a fixed English report.
void readLauncherConfig(const std::vector<Utf16>& arguments);

}  // namespace kestro
