// How registry key names and version texts are held against the bounds and ordered,
// segment by segment (format/version_order.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// Over the segments of the shorter of the name and a bound, the name is not below the
// lower bound and not above the upper bound; an empty bound passes every name. A family key such as 1.6 thus passes the
// lower bound 1.6.0_10, since the family may hold a qualifying update.
bool keyNameInRange(std::string_view name, std::string_view lowerBound, std::string_view upperBound);

// Whole versions in order: 10 above 9, 1.8.0_100 above 1.8.0_60, 1.8.0_201 above 1.8.
bool versionGreater(std::string_view a, std::string_view b);

// The names that pass the bounds, greatest first; with `comparedAs`, each name is held
// against the bounds and ordered as the text it gives (names of equal rank keep their
// order).
std::vector<std::string> namesToTry(std::vector<std::string> names, std::string_view lowerBound,
                                    std::string_view upperBound,
                                    std::string (*comparedAs)(const std::string&) = nullptr);

}  // namespace kestro
