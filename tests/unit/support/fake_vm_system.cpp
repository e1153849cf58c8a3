#include "support/fake_vm_system.h"

#include <algorithm>

#include "config/config_tables.h"
#include "startup/launcher_state.h"
#include "support/trace_recorder.h"
#include "vm/variable_expansion.h"
#include "workfiles/path_rules.h"

namespace kestro::testing {

namespace {

constexpr const char* kLauncherDirectory = "C:\\App\\";

std::string resolve(std::string_view path, const char* baseFile) {
    if (!isRelativePath(path)) return std::string(path);
    return (baseFile ? directoryPart(baseFile) : std::string(kLauncherDirectory)) + std::string(path);
}

// Resolved, without "." segments and with each ".." taking the segment before it.
std::string fullPath(std::string_view path, bool keepCase) {
    std::vector<std::string> kept;
    for (const std::string& segment : splitList(resolve(path, nullptr), '\\')) {
        if (segment == ".." && kept.size() > 1) kept.pop_back();
        else if (segment != "." && segment != "..") kept.push_back(segment);
    }
    std::string out;
    for (const std::string& segment : kept) out += segment + "\\";
    if (kept.size() > 1) out.pop_back();
    if (!keepCase) std::transform(out.begin(), out.end(), out.begin(), [](char c) { return char(std::tolower(c)); });
    return out;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return char(std::tolower(c)); });
    return text;
}

std::vector<std::string> listDirectory(const std::string& pattern) {
    size_t cut = pattern.rfind("\\*");
    auto dir = fakeVm().directories.find(pattern.substr(0, cut));
    if (dir == fakeVm().directories.end()) return {};
    // As Windows lists "*.jar": a name whose extension only begins with ".jar" matches
    // through its 8.3 alias ("b.jarx" is B~1.JAR), in any letter case.
    std::string suffix = lowered(pattern.substr(cut + 2));
    std::vector<std::string> names;
    for (const std::string& name : dir->second)
        if (lowered(name).find(suffix) != std::string::npos) names.push_back(name);
    return names;
}

std::FILE* openText(const std::string& path) {
    auto file = fakeVm().files.find(path);
    if (file == fakeVm().files.end()) return nullptr;
    std::FILE* stream = std::tmpfile();
    std::fwrite(file->second.data(), 1, file->second.size(), stream);
    std::rewind(stream);
    return stream;
}

void expand(std::string& text) {
    expandFixedVariables(text, {.launcherDirectory = kLauncherDirectory,
                                .launcherTempDirectory = fakeVm().tempDir,
                                .runtimeHome = "",
                                .systemTempDirectory = "C:\\Temp\\"});
    for (const auto& [name, value] : fakeVm().environment) expandEnvironmentEntry(text, name + "=" + value);
}

}  // namespace

FakeVmState& fakeVm() {
    static FakeVmState state;
    return state;
}

void resetFakeVm() {
    fakeVm() = FakeVmState{};
    configTables() = ConfigTables{};
    launcherState() = LauncherState{};
    clearTrace();
}

const VmSystem& fakeVmSystem() {
    static const VmSystem system{
        .expand = expand,
        .resolve = resolve,
        .fullPath = fullPath,
        // As the system's search, a name with a trailing backslash finds nothing.
        .exists =
            [](const std::string& path) {
                return fakeVm().files.count(path) > 0 || fakeVm().directories.count(path) > 0;
            },
        .listDirectory = listDirectory,
        .environment =
            [](const char* name) -> std::optional<std::string> {
                auto it = fakeVm().environment.find(name);
                return it == fakeVm().environment.end() ? std::nullopt : std::optional(it->second);
            },
        .openText = openText,
        .toUtf16 = widenAscii,
        .toNarrow =
            [](Utf16View text) {
                std::string out;
                for (char16_t c : text) out += c < 0x100 ? char(c) : '?';
                return out;
            },
        .modulePath = []() -> const std::string& { return fakeVm().modulePath; },
        .longPath = [](const std::string& path) -> std::optional<std::string> { return path; },
        .tempDir = []() -> const std::string& { return fakeVm().tempDir; },
        .runtimeLibrary = []() -> const std::string& { return fakeVm().runtimeLibrary; },
    };
    return system;
}

}  // namespace kestro::testing
