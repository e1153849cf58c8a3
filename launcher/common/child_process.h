// Starting the launcher's child processes (the version probe, unpack200, Explorer).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace kestro {

// CreateProcessA at normal priority, with `creationFlags` added, the way every child of
// the launcher is started. The child inherits exactly the `inherited` handles (each must
// be inheritable) and nothing else the launcher holds: an inheritable handle of the
// launcher's (a file the application's VM opened, a pipe) would otherwise stay open for
// as long as the child runs. A start that the system lost before the child ran a single
// instruction (ERROR_INTERNAL_ERROR, which Wine reports when the new process dies during
// its own start-up) is traced and made again, at most three attempts in all. On failure
// the last error is that of the last attempt.
[[nodiscard]] bool startChildProcess(const char* application, const std::string& commandLine, STARTUPINFOA& startup,
                                     PROCESS_INFORMATION& child, std::initializer_list<HANDLE> inherited = {},
                                     DWORD creationFlags = 0);

}  // namespace kestro
