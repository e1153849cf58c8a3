#include "support/trace_recorder.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "diagnostics/trace.h"

namespace kestro {

namespace {

void record(const char* prefix, const char* format, va_list args) {
    // The trace formats are written for the Microsoft runtime; glibc spells them differently.
    std::string glibcFormat = format;
    for (size_t at; (at = glibcFormat.find("%I64")) != std::string::npos;) glibcFormat.replace(at, 4, "%ll");
    char* text = nullptr;
    if (vasprintf(&text, glibcFormat.c_str(), args) < 0) return;
    testing::tracedLines().push_back(prefix + std::string(text));
    std::free(text);
}

}  // namespace

void trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    record("", format, args);
    va_end(args);
}

void traceError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    record("ERROR: ", format, args);
    va_end(args);
}

std::optional<std::string> traceLogPath() { return std::nullopt; }
void requestLogCreation() { testing::logCreationRequested() = true; }

namespace testing {
std::vector<std::string>& tracedLines() {
    static std::vector<std::string> lines;
    return lines;
}
bool& logCreationRequested() {
    static bool requested = false;
    return requested;
}
}  // namespace testing

}  // namespace kestro
