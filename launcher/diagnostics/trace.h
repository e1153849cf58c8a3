// The trace log: an optional diagnostic file, off unless requested, that records each
// step of a start. Records are printf formats in the Microsoft C runtime's dialect
// ("%I64d" for 64-bit integers, "%p" for pointers).
#pragma once

#include <optional>
#include <string>

namespace kestro {

// Appends one line to the trace file when tracing is on. Never fails visibly.
void trace(const char* format, ...);
// The same, with the line prefixed by "ERROR: ".
void traceError(const char* format, ...);

// The trace file's path: none while tracing is off or before the first record.
std::optional<std::string> traceLogPath();

// Turns tracing on for this process; must come before the first record.
void requestLogCreation();

}  // namespace kestro
