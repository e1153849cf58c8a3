#include "work_files.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "format/block_format.h"

namespace kestro::e2e {

fs::path writeBytes(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), std::streamsize(content.size()));
    return path;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string everyByteValue(size_t n) {
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i) out[i] = char(uint8_t(i * 7 + (i >> 8) + (i >> 16)));
    return out;
}

std::vector<uint8_t> fileRecord(const std::string& content, int64_t declaredSize) {
    uint64_t size = declaredSize < 0 ? content.size() : uint64_t(declaredSize);
    std::vector<uint8_t> out;
    for (int i = 0; i < 8; ++i) out.push_back(uint8_t(size >> (8 * i)));
    out.insert(out.end(), content.begin(), content.end());
    format::scramble(out.data() + 8, content.size());
    return out;
}

std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

namespace {

std::vector<fs::path> kstEntries(const fs::path& root, bool directories) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("kst", 0) != 0 || name.rfind("kst_", 0) == 0) continue;
        bool runDir = name.find(".tmp_dir") != std::string::npos;
        if (runDir == directories) out.push_back(entry.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

std::vector<fs::path> runDirectories(const fs::path& root) { return kstEntries(root, true); }
std::vector<fs::path> uniqueFiles(const fs::path& root) { return kstEntries(root, false); }

std::string tracedAfter(const RunResult& r, const std::string& prefix) {
    for (const auto& line : r.traceLines())
        if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
    return "";
}

int countTraced(const RunResult& r, const std::string& prefix) {
    int n = 0;
    for (const auto& line : r.traceLines()) n += line.rfind(prefix, 0) == 0;
    return n;
}

fs::path unixPath(const std::string& windowsPath) {
    std::string path = windowsPath.rfind("Z:", 0) == 0 ? windowsPath.substr(2) : windowsPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace kestro::e2e
