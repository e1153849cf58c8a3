// The launcher's message boxes, which a run without a person in front of it (kestro run,
// an automated test) can turn into lines on standard error.
#pragma once

#include <string>

namespace kestro {

// The variable and its value that turn every message box of the launcher into a line on
// standard error: the caption, ": ", the text.
inline constexpr const char* kMessageBoxesVariable = "KESTRO_MESSAGE_BOXES";
inline constexpr const char* kMessageBoxesToStandardError = "stderr";

// Shows a system message box (no owner window) with `style` and returns the button that
// closed it. Under KESTRO_MESSAGE_BOXES=stderr it writes the caption and the text to
// standard error instead and returns at once what the default button gives: IDNO for a
// Yes/No question, else IDOK.
int messageBox(const std::string& text, const char* caption, unsigned style);

// Writes `text` to the process's standard error handle, "\n" as "\r\n"; nothing when
// there is none.
void writeStandardError(const std::string& text);

}  // namespace kestro
