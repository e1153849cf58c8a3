// Helpers shared by the build tool's unit tests: a scratch directory and the smallest
// PE32+ image the tool accepts as a stub.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace kestro::tool::test {

class TempDir {
public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("kestro-test-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Headers at 0, one section whose raw data fills 0x400..0x600.
inline std::string minimalPe() {
    std::string image(0x600, '\0');
    auto put16 = [&](size_t at, uint16_t v) { image[at] = char(v), image[at + 1] = char(v >> 8); };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, uint16_t(v)), put16(at + 2, uint16_t(v >> 16)); };
    image[0] = 'M', image[1] = 'Z';
    put32(60, 0x80);
    put32(0x80, 0x00004550);
    put16(0x84, 0x8664);
    put16(0x86, 1);        // sections
    put16(0x94, 0xF0);     // optional header size
    put16(0x98, 0x20B);    // PE32+
    put16(0x98 + 68, 2);   // GUI subsystem
    put32(0x98 + 108, 16); // data directories
    size_t section = 0x98 + 0xF0;
    put32(section + 16, 0x200);
    put32(section + 20, 0x400);
    return image;
}

}  // namespace kestro::tool::test
