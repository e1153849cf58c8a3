#include <windows.h>

#include "common/environment.h"
#include "diagnostics/message_box.h"

namespace kestro {

namespace {

bool boxesGoToStandardError() { return environmentValue(kMessageBoxesVariable) == kMessageBoxesToStandardError; }

}  // namespace

void writeStandardError(const std::string& text) {
    // Straight to the handle, line ends as text mode writes them: the C runtime's stream
    // may have no descriptor (a windowed program started without handles), and a console
    // opened later is reached through the handle alone.
    std::string lines;
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), lines.data(), DWORD(lines.size()), &written, nullptr);
}

int messageBox(const std::string& text, const char* caption, unsigned style) {
    if (!boxesGoToStandardError()) return MessageBoxA(nullptr, text.c_str(), caption, style);
    std::string line = caption;
    line += ": ";
    line += text;
    writeStandardError(line += '\n');
    return (style & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}

}  // namespace kestro
