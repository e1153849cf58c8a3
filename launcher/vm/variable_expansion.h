// Variable expansion: the launcher's own variables ("%KESTRO_EXEDIR%",
// "${launcher:sys.tempDir}", ...) and "${NAME}" environment references in configured
// texts, replaced by plain textual substitution in a fixed order.
#pragma once

#include <string>
#include <string_view>

namespace kestro {

// The values that the launcher's own variables stand for, as they are at one call.
struct ExpansionValues {
    std::string launcherDirectory;      // ends with a backslash
    std::string launcherTempDirectory;  // no trailing backslash; empty when none was created
    std::string runtimeHome;            // empty before the runtime search
    std::string systemTempDirectory;    // the temporary root
};

// Replaces every occurrence of `reference` in `text` by `value`, tracing each one. The
// search goes on after the inserted value, so a value is never searched for the same
// reference again. The text is cut to the launcher's text capacity.
void replaceAll(std::string& text, const std::string& reference, const std::string& value);

// Replaces the 21 fixed references, in their order.
void expandFixedVariables(std::string& text, const ExpansionValues& values);

// Replaces "${NAME}" and "${UPPER-CASED NAME}" by the value of one environment entry
// "NAME=value". Entries without a name are skipped.
void expandEnvironmentEntry(std::string& text, std::string_view entry);

// Replaces the fixed references and then every environment variable's references, in
// the order of the environment block. The values are taken afresh at every call (the
// temporary root is looked up each time, with its traces and its fatal failure).
void expandVariables(std::string& text);

}  // namespace kestro
