// The per-user version cache: the version of every java executable probed so far,
// with the executable's last-write time, so that an unchanged runtime is not started
// again just to learn its version. Entries live under HKEY_CURRENT_USER, in the
// launcher's native registry view, and are shared by every launcher of this kind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

// "SOFTWARE\quenfield\kestro\jvms\" and the path with every "\" turned into "/", so
// that the whole path forms one key name.
std::string versionCacheKey(std::string_view javaExe);

// True when the entry of `javaExe` (a normalised path) exists, its "LastWriteTime" is
// exactly the 8 bytes of `lastWrite` and its "Version" could be read into `version`.
[[nodiscard]] bool readCachedVersion(const std::string& javaExe, uint64_t lastWrite, std::string& version);

// Creates or overwrites the entry of `javaExe`. Failures are silent: the version is
// then simply not remembered (a path too long for a key name never is).
void writeCachedVersion(const std::string& javaExe, uint64_t lastWrite, std::string_view version);

}  // namespace kestro
