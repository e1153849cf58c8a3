#include "runtime_search_support.h"

#include "format/config_keys.h"
#include "tool/settings_table.h"

namespace kestro::e2e {

namespace {

std::string messageText(format::ConfigKey key, const std::string& argument) {
    std::string text(*tool::findSetting(key)->defaultText);
    size_t at = text.find("{0}");
    if (at != std::string::npos && !argument.empty()) text.replace(at, 3, argument);
    return text;
}

}  // namespace

std::string normalised(const fs::path& path) {
    std::string text = windowsPath(path);
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string javaOf(const fs::path& home) { return normalised(home / "bin" / "java.exe"); }

std::string reported(const RunResult& r, const std::string& text) {
    return text + "\n\nLog: " + windowsPath(*r.traceFile) + "\n";
}

std::string noJvmFoundMessage() { return messageText(1016, "64"); }
std::string variableMessage(const std::string& name) { return messageText(1018, name); }
std::string damagedMessage(const std::string& place) { return messageText(1020, place); }
std::string jvmStartFailedMessage() { return messageText(1005, ""); }

void RuntimeSearchTest::SetUp() {
    LauncherTest::SetUp();
    set(key::ApplicationType, "2");  // reports on standard error
}

fs::path RuntimeSearchTest::layOut(const std::string& name, const layout::RuntimeLayout& runtime) {
    fs::path home = dir_ / name;
    layout::layOutRuntime(home, runtime, fixturesDir());
    return home;
}

}  // namespace kestro::e2e
