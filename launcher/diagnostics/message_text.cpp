#include "diagnostics/message_text.h"

#include "common/text.h"

namespace kestro {

std::string fillPlaceholder(std::string text, const char* argument) {
    if (argument) {
        size_t at = text.find("{0}");
        if (at != std::string::npos) text.replace(at, 3, argument);
    }
    return truncated(std::move(text));
}

}  // namespace kestro
