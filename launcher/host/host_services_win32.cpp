#include "host/console.h"
#include "host/native_library_path.h"
#include "host/reboot.h"

namespace kestro {

// The console, reboot and native library services are placeholders so far: the
// console switches are accepted without a console, and PATH stays as inherited.
bool openConsole() { return true; }
void rebootSystem() {}
void setNativeLibraryPath() {}

}  // namespace kestro
