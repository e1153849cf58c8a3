#pragma once

#include <string>

namespace kestro {

// The chosen Java runtime's home, written through its bin directory ("c:\jre\bin\..");
// empty until the runtime search has chosen one.
std::string& runtimeHome();

}  // namespace kestro
