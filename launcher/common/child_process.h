// Starting the launcher's child processes (the version probe, unpack200, Explorer).
#pragma once

#include <windows.h>

#include <string>

namespace kestro {

// CreateProcessA with inherited handles and normal priority, the way every child of the
// launcher is started. A start that the system lost before the child ran a single
// instruction (ERROR_INTERNAL_ERROR, which Wine reports when the new process dies during
// its own start-up) is traced and made again, at most three attempts in all. On failure
// the last error is that of the last attempt.
[[nodiscard]] bool startChildProcess(const char* application, const std::string& commandLine, STARTUPINFOA& startup,
                                     PROCESS_INFORMATION& child);

}  // namespace kestro
