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

// Shows a report followed by `question`, answered Yes or No; true for Yes. With message
// boxes off, or when no box can be shown (no display), the report followed by a line
// `instead` goes to standard error, and the answer is No.
bool askAfterError(const std::string& text, const std::string& question, const std::string& instead);

[[noreturn]] void fatalError(const std::string& text);
[[noreturn]] void fatalMessage(MessageId id, const char* argument = nullptr);

// From now on reports go to standard error; there is no way back.
void disableErrorBoxes();

}  // namespace kestro
