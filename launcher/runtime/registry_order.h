// How registry key names and version texts are held against the bounds and ordered:
// byte-wise, as C string comparisons do; versions are never parsed into numbers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// With n the length of the shorter of the name and a bound, the name's first n
// characters are not less than the lower bound's and not greater than the upper
// bound's; an empty bound passes every name. A family key such as 1.6 thus passes the
// lower bound 1.6.0_10, since the family may hold a qualifying update.
bool keyNameInRange(std::string_view name, std::string_view lowerBound, std::string_view upperBound);

// Byte-wise comparison of whole texts; a text that is a prefix of another sorts first.
bool versionGreater(std::string_view a, std::string_view b);

// The names that pass the bounds, greatest first.
std::vector<std::string> namesToTry(std::vector<std::string> names, std::string_view lowerBound,
                                    std::string_view upperBound);

}  // namespace kestro
