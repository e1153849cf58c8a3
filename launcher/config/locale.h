// The user's locale as a Java-style code ("fr", "de_CH", "no_NO_NY").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace kestro {

// True when `localeCode` begins with `prefix` (byte-wise); an empty prefix matches all.
bool localeSetMatches(std::string_view prefix, std::string_view localeCode);

// Chooses the locale from the arguments and the system settings; returns its code.
std::string selectLocale(const std::vector<Utf16>& arguments);

}  // namespace kestro
