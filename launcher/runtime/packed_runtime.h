// Runtimes shipped with some of their jars in the Pack200 format: before such a runtime
// directory is looked at, its jars are restored with the runtime's own unpack200.
#pragma once

#include <string>

namespace kestro {

// Restores the packed jars of `runtimeDirectory` (absolute) when "lib\rt.jar.pack" is
// there and "lib\jsse.jar", restored last, is not; one start at a time, the others
// wait. A jar that is not restored stops the unpacking, so that jsse.jar never marks a
// runtime with a missing jar as done. Ends the process with internal error 20 when
// unpack200 cannot be started.
void unpackPackedRuntime(const std::string& runtimeDirectory);

// Restores the jar of one packed file (the path less ".pack") with the runtime's
// unpack200, which writes it under a name of its own first; the jar takes its name only
// when unpack200 ended with 0 within its time limit, and the packed file is deleted only
// then. True when the jar is restored or there was nothing to restore.
bool unpackJar(const std::string& runtimeDirectory, const std::string& packedFile);

}  // namespace kestro
