// Filling a message text's placeholder.
#pragma once

#include <string>

namespace kestro {

// Replaces the first "{0}" of `text` by `argument`; later ones stay. Without an argument
// the text is returned unchanged, "{0}" included. The result fits an 8192-byte buffer.
std::string fillPlaceholder(std::string text, const char* argument);

}  // namespace kestro
