// Rules for the version texts that runtimes print (for example 1.8.0_201). The texts
// are never parsed into numbers: bounds compare bytes, as a C string comparison of
// limited length does.
#pragma once

#include <string>
#include <string_view>

namespace kestro {

// The version that records, in the version cache, a runtime whose probe ended with a
// non-zero exit code; never accepted as a cached version.
inline constexpr std::string_view kFailedProbeVersion = "1.0.0";

// Byte-wise comparison of at most `length` characters, with the end of a text reading
// as a zero byte: <0, 0 or >0, like strncmp.
int compareVersionPrefix(std::string_view version, std::string_view bound, size_t length);

// The version's first n characters, n the bound's length, are not less (lower) or not
// greater (upper) than the bound; an empty bound passes every version.
bool passesLowerBound(std::string_view version, std::string_view lowerBound);
bool passesUpperBound(std::string_view version, std::string_view upperBound);

// "beta", "ea" or "rc" anywhere in the text, case-sensitive.
bool isPrereleaseVersion(std::string_view version);

// True when the version lies within the bounds and, unless the caller or key 130 allows
// pre-release runtimes, is no pre-release build.
[[nodiscard]] bool acceptVersion(const std::string& version, const std::string& lowerBound,
                                 const std::string& upperBound, bool allowPrerelease);

}  // namespace kestro
