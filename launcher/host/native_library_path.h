#pragma once

namespace kestro {

// Puts the configured native library directories in front of PATH.
void setNativeLibraryPath();

}  // namespace kestro
