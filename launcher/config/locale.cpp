#include "config/locale.h"

namespace kestro {

bool localeSetMatches(std::string_view prefix, std::string_view localeCode) {
    return localeCode.substr(0, prefix.size()) == prefix;
}

}  // namespace kestro
