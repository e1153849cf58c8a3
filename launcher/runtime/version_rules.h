// Rules for the version texts that runtimes print (for example 1.8.0_201 or 17.0.2):
// the bounds and the pre-release filter. Comparisons go by segments
// (format/version_order.h); the texts themselves stay as printed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// The version that records, in the version cache, a runtime whose probe ended with a
// non-zero exit code; never accepted as a cached version.
inline constexpr std::string_view kFailedProbeVersion = "1.0.0";

// The version's first n segments, n the bound's number of segments, are not below
// (lower) or not above (upper) the bound; an empty bound passes every version.
bool passesLowerBound(std::string_view version, std::string_view lowerBound);
bool passesUpperBound(std::string_view version, std::string_view upperBound);

// "beta", "ea" or "rc" anywhere in the text, case-sensitive.
bool isPrereleaseVersion(std::string_view version);

// Why a version is refused, for the trace and the report of runtimes passed over: it is
// a pre-release build and those are not allowed ("version 1.8.0-ea is a pre-release"),
// or it lies outside the bounds ("version 1.8.0_201, needs 17 or later", "..., needs 11
// to 17", "..., needs 1.8 or earlier"). None when it is accepted.
std::optional<std::string> versionRejection(std::string_view version, std::string_view lowerBound,
                                            std::string_view upperBound, bool prereleaseAllowed);

// True when the version lies within the bounds and, unless the caller or key 130 allows
// pre-release runtimes, is no pre-release build. `reason` receives why it is refused.
[[nodiscard]] bool acceptVersion(const std::string& version, const std::string& lowerBound,
                                 const std::string& upperBound, bool allowPrerelease,
                                 std::string* reason = nullptr);

}  // namespace kestro
