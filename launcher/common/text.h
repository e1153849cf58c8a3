// Text types shared by the launcher's portable and Windows code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// UTF-16 text (command line, Java strings, wide-string table). On Windows wchar_t has
// the same size and layout as char16_t, so the Win32 boundary only reinterprets.
using Utf16 = std::u16string;
using Utf16View = std::u16string_view;

// Paths, configuration values, options and messages hold at most this many bytes,
// including the terminating zero.
inline constexpr size_t kTextCapacity = 8192;

// Decimal text of a number; the launcher avoids the C++ library's formatting, which
// would pull a second printf implementation into the executable.
std::string decimal(int64_t value);

// Splits a ";"-separated list; empty items (leading, doubled or trailing separators)
// are dropped.
std::vector<std::string> splitList(std::string_view list, char separator = ';');

// Cuts a text to the given buffer capacity (which counts the terminating zero).
inline std::string truncated(std::string text, size_t capacity = kTextCapacity) {
    if (capacity && text.size() > capacity - 1) text.resize(capacity - 1);
    return text;
}

// 64-bit FNV-1a: small, and fixed for good, since names made from it (instance objects,
// cache files) must come out alike in every version of the launcher.
uint64_t fnv1a64(std::string_view bytes);

// True when `text` ends in `tail`, ASCII letters compared without regard to case.
bool endsWithIgnoringCase(std::string_view text, std::string_view tail);

// Byte-wise ASCII widening and narrowing for texts known to be ASCII.
Utf16 widenAscii(std::string_view text);

}  // namespace kestro
