// Rules for the version texts that runtimes print (for example 1.8.0_201 or 17.0.2):
// the bounds and the pre-release filter. Comparisons go by segments
// (format/version_order.h); the texts themselves stay as printed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "format/version_order.h"

namespace kestro {

// The version that records, in the version cache, a runtime whose probe ended with a
// non-zero exit code; never accepted as a cached version.
inline constexpr std::string_view kFailedProbeVersion = "1.0.0";

// True when the version lies within the bounds and, unless the caller or key 130 allows
// pre-release runtimes, is no pre-release build. `reason` receives why it is refused.
[[nodiscard]] bool acceptVersion(const std::string& version, const std::string& lowerBound,
                                 const std::string& upperBound, bool allowPrerelease,
                                 std::string* reason = nullptr);

}  // namespace kestro
