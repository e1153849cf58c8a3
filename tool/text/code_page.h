// Text conversions: the launcher's byte strings are 8-bit text in the Windows ANSI
// code page, its wide strings UTF-16; the configuration file is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestro::tool {

enum class CodePage { Windows1252 = 1252, Utf8 = 65001 };

// "windows-1252" or "utf-8".
std::string_view codePageName(CodePage cp);
std::optional<CodePage> codePageByName(std::string_view name);

// UTF-8 to the code page. Throws SettingError naming the first character that has no
// byte in the code page.
std::string toCodePage(std::string_view utf8, CodePage cp);

// The code page's bytes as UTF-8; nothing when they are not valid in the code page
// (only possible for UTF-8, since every Windows-1252 byte decodes).
std::optional<std::string> fromCodePage(std::string_view bytes, CodePage cp);

bool isValidUtf8(std::string_view text);

// Both assume valid input; utf16ToUtf8 gives nothing for an unpaired surrogate.
std::u16string utf8ToUtf16(std::string_view utf8);
std::optional<std::string> utf16ToUtf8(std::u16string_view utf16);

// Number of characters (code points) of valid UTF-8 text.
size_t countCharacters(std::string_view utf8);

}  // namespace kestro::tool
