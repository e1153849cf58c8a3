// The stand-in runtime's java.exe (copied as javaw.exe and javac.exe too). The launcher
// runs it with "-version" to learn the runtime's version; it answers with the host
// JDK's own text, which kestro run writes into "<own file name>.cfg" beside it as
// "stderr=TEXT" (escapes as in stand_in_files.h), so that the launcher's version checks
// see the JDK that will run the application.
#include "stand_in_files.h"

int main() {
    // Read with the system's calls: the C++ streams would make it ten times larger.
    HANDLE file = CreateFileW((stand_in::ownPath() + L".cfg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    std::string settings;
    char buffer[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        settings.append(buffer, got);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    size_t from = settings.find("stderr=");
    // The host JDK's text came without the notes on JAVA_TOOL_OPTIONS and the like, which
    // a real runtime writes first when they are set here.
    std::string text = stand_in::pickedUpOptionNotes();
    if (from != std::string::npos) {
        from += 7;
        text += stand_in::unescape(settings.substr(from, settings.find_first_of("\r\n", from) - from));
    }
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
    return 0;
}
