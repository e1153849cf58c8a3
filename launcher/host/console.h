#pragma once

namespace kestro {

// Attaches to the parent's console or creates one; true on success.
bool openConsole();

}  // namespace kestro
