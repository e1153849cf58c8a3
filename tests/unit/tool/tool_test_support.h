// Helpers shared by the build tool's unit tests and its command-line tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tool/settings/setting_error.h"

namespace kestro::tool::test {

// A scratch directory, removed with its contents.
struct TempDir {
    std::filesystem::path path;
    TempDir() {
        std::string name = (std::filesystem::temp_directory_path() / "kestro-test-XXXXXX").string();
        path = mkdtemp(name.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What `f` throws ("path: message" for a SettingError); "" when it throws nothing.
template <class F>
std::string errorOf(F&& f) {
    try {
        f();
    } catch (const SettingError& e) {
        return e.path() + ": " + e.what();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

// Whether `actual` has as many lines as `expected`, each beginning with the expected
// line: a message's distinctive start, without restating the rest of its text.
inline bool linesBegin(std::string_view actual, std::string_view expected) {
    for (;;) {
        size_t a = actual.find('\n'), e = expected.find('\n');
        if (!actual.substr(0, a).starts_with(expected.substr(0, e))) return false;
        if (a == std::string_view::npos || e == std::string_view::npos) return a == e;
        actual.remove_prefix(a + 1), expected.remove_prefix(e + 1);
    }
}

}  // namespace kestro::tool::test
