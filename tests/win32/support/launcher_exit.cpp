// The test program's own exit routine, chosen at link time in place of the launcher's:
// a fatal path ends the test that reached it, not the whole test program.
#include "support/win32_test.h"

#include "startup/exit.h"

namespace kestro {

void exitLauncher(uint32_t code) { throw test::LauncherExit(code); }

}  // namespace kestro
