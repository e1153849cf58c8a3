#include "registry.h"

#include <fstream>

namespace kestro::e2e {

std::string regString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

void importRegistry(const std::string& lines, const fs::path& workDir) {
    static int counter = 0;
    fs::path file = workDir / ("import" + std::to_string(++counter) + ".reg");
    std::ofstream(file, std::ios::binary) << "REGEDIT4\r\n\r\n" << lines << "\r\n";
    RunResult r = runWindowsProgram(file, {.commandLine = "regedit /S " + windowsPath(file)}, workDir);
    ASSERT_EQ(r.exitCode, 0) << r.err;
}

void clearRuntimeRegistry(const fs::path& workDir) {
    importRegistry("[-HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft]\r\n"
                   "[-HKEY_CURRENT_USER\\SOFTWARE\\quenfield\\kestro\\locatedjvms]\r\n"
                   "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\quenfield\\kestro\\locatedjvms]\r\n"
                   "[-HKEY_CURRENT_USER\\SOFTWARE\\quenfield\\velmora\\installations]\r\n"
                   "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\quenfield\\velmora\\installations]\r\n",
                   workDir);
}

}  // namespace kestro::e2e
