// The launcher's trace for the fuzz targets: every record is formatted, so that its
// arguments are read as a trace file would read them, and then dropped.
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <string>

#include "diagnostics/trace.h"

namespace kestro {

namespace {

// The trace formats are written for the Microsoft runtime; glibc spells "%I64" "%ll".
void format(const char* text, va_list args) {
    std::string glibc(text);
    for (size_t at = glibc.find("%I64"); at != std::string::npos; at = glibc.find("%I64", at))
        glibc.replace(at, 4, "%ll");
    std::string line(512, '\0');
    std::vsnprintf(line.data(), line.size(), glibc.c_str(), args);
}

}  // namespace

void trace(const char* text, ...) {
    va_list args;
    va_start(args, text);
    format(text, args);
    va_end(args);
}

void traceError(const char* text, ...) {
    va_list args;
    va_start(args, text);
    format(text, args);
    va_end(args);
}

std::optional<std::string> traceLogPath() { return std::nullopt; }
void requestLogCreation() {}

}  // namespace kestro
