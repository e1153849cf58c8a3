// Telling the user that something went wrong: a message box, or standard error when
// message boxes are switched off. The fatal forms end the process with exit code 1.
#pragma once

#include <string>

#include "format/config_keys.h"

namespace kestro {

using msg::MessageId;

// Shows a report text and returns once it is dismissed.
void showError(const std::string& text);
// Shows message `id` of the configuration, its first "{0}" replaced by `argument`.
void showMessage(MessageId id, const char* argument = nullptr);

[[noreturn]] void fatalError(const std::string& text);
[[noreturn]] void fatalMessage(MessageId id, const char* argument = nullptr);

// From now on reports go to standard error; there is no way back.
void disableErrorBoxes();

}  // namespace kestro
