// "Did you mean" for names the tool does not know: settings, commands, options.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestro::tool {

// The candidate nearest to `given`, when it is near enough to be what was meant: letter
// case aside, at most a third of the name's length in edits (at least one), where
// inserting, deleting or replacing a character or swapping two neighbours each count
// as one edit. The first candidate wins a tie. Failing that, the one candidate that
// begins with `given` (an abbreviation such as "--out" for "--output").
std::optional<std::string> closestName(std::string_view given, std::span<const std::string> candidates);

// " (did you mean 'x'?)" for a suggestion, "" for none.
std::string didYouMean(const std::optional<std::string>& suggestion);

}  // namespace kestro::tool
