#pragma once

#include <string>

namespace kestro {

// Replaces the launcher's variables and "${NAME}" environment references in `text`.
void expandVariables(std::string& text);

}  // namespace kestro
