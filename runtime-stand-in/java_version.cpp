// The stand-in runtime's java.exe (copied as javaw.exe and javac.exe too). The launcher
// runs it with "-version" to learn the runtime's version; it answers with the host
// JDK's own text, which kestro run writes into "<own file name>.cfg" beside it as
// "stderr=TEXT" (escapes as in stand_in_files.h), so that the launcher's version checks
// see the JDK that will run the application.
#include "stand_in_files.h"

int main() {
    std::string text = stand_in::settings()["stderr"];
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
    return 0;
}
