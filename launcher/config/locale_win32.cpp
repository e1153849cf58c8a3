#include "config/locale.h"

namespace kestro {

// Until the system language is consulted every launcher runs in English.
std::string selectLocale(const std::vector<Utf16>&) { return "en"; }

}  // namespace kestro
