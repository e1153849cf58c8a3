// File names that Windows maps to devices. An included file given such a name would be
// written to the device (or fail), not into the temporary directory, so the build tool
// refuses to store one and the launcher refuses to extract one. Header-only: the
// launcher links only the reading side of the format library.
#pragma once

#include <string_view>

namespace kestro::format {

namespace detail {

constexpr char upperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

constexpr bool equalsUpper(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (upperAscii(text[i]) != upper[i]) return false;
    return true;
}

// A port number: a digit, or the superscripts one to three that Windows also takes,
// as one byte of Windows-1252 or two of UTF-8.
constexpr bool isPortNumber(std::string_view s) {
    auto superscript = [](char c) { return c == '\xB9' || c == '\xB2' || c == '\xB3'; };
    if (s.size() == 1) return (s[0] >= '0' && s[0] <= '9') || superscript(s[0]);
    return s.size() == 2 && s[0] == '\xC2' && superscript(s[1]);
}

}  // namespace detail

// True for one path component that names a device: CON, PRN, AUX, NUL, CONIN$, CONOUT$,
// COM0 to COM9 and LPT0 to LPT9 (also with a superscript 1 to 3), in any letter case,
// alone or followed by an extension ("aux.jar", "nul.tar.gz"), and with the spaces or
// dots that Windows trims ("nul ", "con.", "com1 .txt").
constexpr bool isDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (detail::equalsUpper(base, device)) return true;
    if (base.size() < 4) return false;
    std::string_view port = base.substr(0, 3);
    return (detail::equalsUpper(port, "COM") || detail::equalsUpper(port, "LPT")) &&
           detail::isPortNumber(base.substr(3));
}

}  // namespace kestro::format
