// The program's entry on Windows: the command line arrives as UTF-16 and becomes UTF-8,
// as on Linux. Standard output and error are written in binary mode, so the tool's own
// output ends its lines with "\n" on both systems (a printed configuration or report is
// the same file either way); a console shows that output as UTF-8 while the tool runs.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tool/commands/command_line.h"

namespace kestro::tool {

namespace {

std::string utf8(const wchar_t* text) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 1), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.pop_back();  // the terminator
    return out;
}

// Sets the console's output code page to UTF-8 for the run and restores it after.
class ConsoleUtf8 {
public:
    ConsoleUtf8() : previous_(::GetConsoleOutputCP()) {
        if (previous_) ::SetConsoleOutputCP(CP_UTF8);
    }
    ~ConsoleUtf8() {
        if (previous_) ::SetConsoleOutputCP(previous_);
    }
    ConsoleUtf8(const ConsoleUtf8&) = delete;
    ConsoleUtf8& operator=(const ConsoleUtf8&) = delete;

private:
    UINT previous_;  // 0 without a console
};

}  // namespace

}  // namespace kestro::tool

int wmain(int argc, wchar_t** argv) {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    kestro::tool::ConsoleUtf8 console;
    std::vector<std::string> texts;
    for (int i = 0; i < argc; ++i) texts.push_back(kestro::tool::utf8(argv[i]));
    std::vector<char*> args;
    for (std::string& text : texts) args.push_back(text.data());
    args.push_back(nullptr);
    return kestro::tool::runKestro(argc, args.data());
}
