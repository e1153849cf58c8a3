// The registry entry of the search list: runtimes that Java installers registered under
// SOFTWARE\JavaSoft and under their vendors' keys (runtime/registry_sources.h), and
// runtimes recorded as located under SOFTWARE\quenfield\kestro.
#pragma once

#include <windows.h>

#include <string>

namespace kestro {

// The better of the registered and the located runtime within the bounds; the
// registered one only when its version is strictly greater. The registered one is the
// newest of what the two older families give (findRegisteredRuntime) and the newest
// passing runtime of each of today's sources (the vendors' MSI keys, Zulu's and
// Liberica's), read in HKEY_LOCAL_MACHINE and then, for the installers that can install
// for one user, in HKEY_CURRENT_USER; on equal versions the machine's wins. Fills
// `javaExe`.
[[nodiscard]] bool findRegistryRuntime(std::string& javaExe, const std::string& lowerBound,
                                       const std::string& upperBound);

// The first of: the runtime named by the families' "CurrentVersion", the newest
// registered runtime (JRE family unless a JDK is required, then JDK family).
[[nodiscard]] bool findRegisteredRuntime(std::string& javaExe, std::string& version, const std::string& lowerBound,
                                         const std::string& upperBound);
[[nodiscard]] bool findCurrentVersionRuntime(std::string& javaExe, std::string& version,
                                             const std::string& lowerBound, const std::string& upperBound);
// `hive` is the machine's unless a source of today names the user's.
[[nodiscard]] bool findNewestRegisteredRuntime(const char* familyKey, std::string& javaExe, std::string& version,
                                               const std::string& lowerBound, const std::string& upperBound,
                                               HKEY hive = HKEY_LOCAL_MACHINE);

// The best located runtime of both hives; the per-user one only when its version is
// strictly greater than the per-machine one's.
[[nodiscard]] bool findLocatedRuntime(std::string& javaExe, std::string& version, const std::string& lowerBound,
                                      const std::string& upperBound);
[[nodiscard]] bool scanLocatedRuntimes(HKEY hive, std::string& javaExe, std::string& version,
                                       const std::string& lowerBound, const std::string& upperBound);

}  // namespace kestro
