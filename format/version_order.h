// How Java version texts compare: split into segments at ".", "_", "-" and "+";
// segments of digits compare as numbers, all others byte-wise. So 9 < 10 < 17 and
// 1.8.0_60 < 1.8.0_100, where a plain byte comparison gets both wrong. The texts
// themselves are kept as the runtimes print them; only the comparisons read segments.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// Orders two whole version texts: <0, 0 or >0. Where all segments agree, a text with
// fewer segments sorts first (1.8 before 1.8.0_201), and texts that agree segment by
// segment but are written differently (1.08 and 1.8) fall back to their bytes, so that
// 0 means equal texts.
int compareVersions(std::string_view a, std::string_view b);

// Holds a version against a bound over as many segments as the bound has: 1.8.0_201 is
// equal to the bound 1.8, so an upper bound of 1.8 admits every 1.8.x release and a lower
// bound of 1.6 admits 1.6.0_10. A version with fewer segments than the bound is below it
// when the segments it has agree (1.8 is below 1.8.0_10).
int compareWithBound(std::string_view version, std::string_view bound);

// Holds two texts against each other over the segments of the shorter one: a registry
// family key 1.6 matches the bound 1.6.0_10, since the family may hold that update.
int compareCommonSegments(std::string_view a, std::string_view b);

// The part of a version text that takes part in comparisons: up to the first character
// that cannot belong to a version (a probe's first line may go on after the version,
// e.g. 11.0.2" 2019-01-1).
std::string_view comparableVersion(std::string_view text);

// The version's first n segments, n the bound's number of segments, are not below
// (lower) or not above (upper) the bound; an empty bound passes every version.
bool passesLowerBound(std::string_view version, std::string_view lowerBound);
bool passesUpperBound(std::string_view version, std::string_view upperBound);

// "beta", "ea" or "rc" anywhere in the text, case-sensitive.
bool isPrereleaseVersion(std::string_view version);

// Why a version is refused, for the trace, the report of runtimes passed over and the
// build tool's notes: it is a pre-release build and those are not allowed ("version
// 1.8.0-ea is a pre-release"), or it lies outside the bounds ("version 1.8.0_201, needs
// 17 or later", "..., needs 11 to 17", "..., needs 1.8 or earlier"). None when it is
// accepted.
std::optional<std::string> versionRejection(std::string_view version, std::string_view lowerBound,
                                            std::string_view upperBound, bool prereleaseAllowed);

}  // namespace kestro
