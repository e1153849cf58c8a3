#include "tool/package/signing.h"

#include <process.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "format/native_file.h"
#include "tool/package/host_tools.h"
#include "tool/text/code_page.h"

namespace kestro::tool::packaging {

namespace fs = std::filesystem;

namespace {

std::wstring wide(const std::string& utf8) {
    std::u16string text = utf8ToUtf16(utf8);
    return {text.begin(), text.end()};
}

// As the C runtime splits a command line: quotes around, backslashes before a quote doubled.
std::wstring quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') { ++backslashes; continue; }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

std::string signingPassword(const SigningSettings& signing) {
    const wchar_t* value = _wgetenv(wide(signing.passwordVariable).c_str());
    if (!value)
        throw std::runtime_error("signing: the environment variable " + signing.passwordVariable +
                                 " (signing.password_variable) is not set; it holds the certificate's password");
    std::wstring text(value);
    return utf16ToUtf8(std::u16string(text.begin(), text.end())).value_or("");
}

// signtool (of the Windows SDK, on PATH) signs in place and leaves the file unchanged
// when it fails.
void signFile(const fs::path& file, const SigningSettings& signing) {
    std::vector<std::wstring> arguments{L"signtool"};
    for (const std::string& a : signtoolArguments(signing, signingPassword(signing), signedDescription(file), file))
        arguments.push_back(quoted(wide(a)));
    std::vector<const wchar_t*> argv;
    for (const auto& a : arguments) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    intptr_t code = _wspawnvp(_P_WAIT, L"signtool", argv.data());
    if (code == -1)
        throw std::runtime_error("signing needs signtool of the Windows SDK on PATH (run kestro from a Developer "
                                 "Command Prompt)");
    if (code != 0)
        throw std::runtime_error("signtool could not sign " + format::pathText(file) + " (exit code " +
                                 std::to_string(code) + ")");
}

}  // namespace kestro::tool::packaging
