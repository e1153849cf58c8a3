// The runtimes the search passed over and why, kept for the report that no runtime was
// found: a user never sees the trace, which says the same at greater length.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestro {

struct PassedOver {
    std::string place;   // the runtime's home ("\bin\java.exe" cut off), or the path checked
    std::string reason;  // a few words: "version 1.8.0_201, needs 17 or later"
};

// At most this many are kept and shown; a search may pass over hundreds.
inline constexpr size_t kPassedOverShown = 5;

// Records a runtime passed over, given by its java executable or home: once per place
// (the same runtime is often met twice, by the search list and by a variable), the
// first kPassedOverShown places only.
void notePassedOver(std::string_view javaExeOrHome, std::string_view reason);
const std::vector<PassedOver>& passedOver();

// The lines that follow the report's configured text, each "\n<place>: <reason>"; empty
// without any.
std::string passedOverLines(const std::vector<PassedOver>& runtimes);

// Reports message 1016 (no runtime found, for a 64-bit launcher) followed by the lines
// of the runtimes passed over, unless key 10006 is 0.
void reportNoRuntimeFound();

}  // namespace kestro
