// The user's locale as a Java-style code ("fr", "de_CH", "no_NO_NY"): chosen once while
// the configuration is read; it selects the locale sets of the wide-string table and
// gives the VM the user's language and country.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace kestro {

// A Windows language identifier and the locale code the VM knows it by.
struct LanguageRow {
    uint16_t id;
    char code[9];
};

// The language table: primary languages alone first, then full identifiers.
std::span<const LanguageRow> languageTable();

// True when `localeCode` begins with `prefix` (byte-wise); an empty prefix matches all.
bool localeSetMatches(std::string_view prefix, std::string_view localeCode);

// Whether the VM formats by the default locale: true unless an argument beginning with
// "-Dsun.locale.formatasdefault=" says otherwise; the last such argument decides, and
// only the exact "=true" counts as true. Traces the result.
bool formatAsDefault(const std::vector<Utf16>& arguments);

// The code of the first row with exactly `languageId`, else of the first row with its
// primary language (low 10 bits), else "en".
std::string localeCodeFor(uint16_t languageId);

// Asks the system for the user interface language; none when it cannot be asked.
using UiLanguageQuery = std::optional<uint16_t> (*)();

// Chooses the locale from the arguments, the user's default language and, when the
// arguments switch default formatting off, the user interface language (asked only
// then). Records the code, its language and country; returns the code.
std::string chooseLocale(const std::vector<Utf16>& arguments, uint16_t userDefaultLanguage,
                         UiLanguageQuery uiLanguage);

// The same with the system's settings.
std::string selectLocale(const std::vector<Utf16>& arguments);

// The chosen code; "en" until the choice.
const std::string& localeCode();
// Two letters once the locale is chosen; empty before.
const std::string& localeLanguage();
// Two letters when the code is language and country ("de_CH"); empty otherwise.
const std::string& localeCountry();

// Copy the language or country into `out` and tell whether there is one.
bool copyLocaleLanguage(std::string& out);
bool copyLocaleCountry(std::string& out);

}  // namespace kestro
