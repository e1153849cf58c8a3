// The variables of key 10203, set in the launcher's own process before the VM starts,
// so that the application and every process it starts see them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

struct EnvironmentSetting {
    std::string name;
    std::string value;  // as stored, before any expansion
};

// The stored "NAME=value" lines, in order; a line without "=" or without a name is
// passed over.
std::vector<EnvironmentSetting> parseEnvironmentSettings(std::string_view stored);

// Replaces each "%NAME%" by the value of that variable, as the command prompt does;
// a reference to an unset variable, and a "%" without a partner, stay as written.
// The text is cut to the launcher's text capacity.
void expandPercentReferences(std::string& text, std::optional<std::string> (*lookup)(const char* name));

// Sets the configured variables: each value with the launcher's variables and "${NAME}"
// references expanded, then "%NAME%" references to the environment as it is so far.
void applyEnvironmentSettings();

}  // namespace kestro
