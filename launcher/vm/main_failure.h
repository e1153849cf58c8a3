// What the user is told when the Java launcher class cannot start the application, or
// the application's main ends with an exception.
#pragma once

#include <string>
#include <string_view>

#include "format/config_keys.h"

namespace kestro {

// The message for the exception that ended main of the launcher class, from its text
// (its toString). The runtime library ends a launch that cannot begin with an exception
// that reads "com.kestro.runtime.internal.LaunchFailure: " and the number of the message
// to show, 1010 (main class) or 1011 (main method), having already written java's own
// words for it on standard error; every other exception is the application's error.
msg::MessageId mainExceptionMessage(std::string_view thrown);

// What java writes on standard error when the class `vmName` (with "/") cannot be
// loaded, and when it has no main method: the same words as the runtime library's, for
// the launcher class itself. One line end at the end.
std::string classNotLoadedText(std::string_view vmName);
std::string mainMethodMissingText(std::string_view vmName);

}  // namespace kestro
