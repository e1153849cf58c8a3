// Helpers shared by the build tool's unit tests and its command-line tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tool/setting_error.h"

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

}  // namespace kestro::tool::test
