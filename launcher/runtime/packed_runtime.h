// Runtimes shipped with some of their jars in the Pack200 format: before such a runtime
// directory is looked at, its jars are restored with the runtime's own unpack200.
#pragma once

#include <string>

namespace kestro {

// Restores the packed jars of `runtimeDirectory` (absolute) when "lib\rt.jar.pack" is
// there and "lib\jsse.jar", restored last, is not. Ends the process with internal error
// 20 when unpack200 cannot be started.
void unpackPackedRuntime(const std::string& runtimeDirectory);

// Restores the jar of one packed file (the path less ".pack") with the runtime's
// unpack200, waiting for it without limit. A missing packed file is skipped.
void unpackJar(const std::string& runtimeDirectory, const std::string& packedFile);

}  // namespace kestro
