// The kestro command line, apart from how the system hands it over.
#pragma once

namespace kestro::tool {

// Runs one kestro command; `argv` is UTF-8 text. Returns the exit code: 0 success, 1 the
// command failed (a bad configuration, a file that cannot be read or written), 2 the
// command line itself is wrong.
int runKestro(int argc, char** argv);

}  // namespace kestro::tool
