// Validation of every runtime that the search proposes: a home directory or a java
// executable becomes yes or no, the normalised path of the executable to run, and the
// version text. The bounds (keys 126 and 127) are read by the callers and passed in.
#pragma once

#include <string>

#include "runtime/version_rules.h"

namespace kestro {

// Normalises `javaExe` in place (absolute, lower-cased, doubled backslashes collapsed),
// learns its version from the version cache or a probe, and holds it against the bounds
// and, unless `allowPrerelease`, the pre-release filter. For a GUI launcher (key 107 = 1)
// a passing path is turned into the runtime's "javaw.exe", which must exist. `version`
// receives the version found, also when the bounds refuse it; it is empty when none was.
// A refusal is traced with its reason.
[[nodiscard]] bool checkJavaExe(std::string& javaExe, std::string& version, const std::string& lowerBound,
                                const std::string& upperBound, bool allowPrerelease);

// The java executable below `home`, used as written: "\jre\bin\java.exe" when a JDK is
// required (key 131; then it qualifies only with "\lib\tools.jar") or when it exists,
// otherwise "\bin\java.exe". Returns whether the home qualifies, and traces why not.
[[nodiscard]] bool javaExeForHome(std::string& javaExe, const std::string& home);

// A runtime directory, resolved against the launcher's directory and normalised, with a
// packed runtime unpacked first. The full check accepts pre-release runtimes; the lenient
// one fills `javaExe` and returns true without any version test, leaving the caller to
// test what it needs.
[[nodiscard]] bool checkRuntimeDirectory(std::string& javaExe, const std::string& directory,
                                         const std::string& lowerBound, const std::string& upperBound, bool lenient);

// The runtime home named by environment variable `name` ("/" read as "\"); an unset or
// empty variable fails. The pre-release filter applies.
[[nodiscard]] bool checkRuntimeVariable(std::string& javaExe, const char* name, const std::string& lowerBound,
                                        const std::string& upperBound);

// "java.exe" found through the system's executable search; the pre-release filter
// applies.
[[nodiscard]] bool findJavaOnPath(std::string& javaExe, const std::string& lowerBound, const std::string& upperBound);

}  // namespace kestro
