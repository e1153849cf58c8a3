#include "work_files.h"

#include <algorithm>

#include "format/block_format.h"

namespace kestro::e2e {

std::string everyByteValue(size_t n) {
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i) out[i] = char(uint8_t(i * 7 + (i >> 8) + (i >> 16)));
    return out;
}

std::vector<uint8_t> withRecords(const format::BlockHead& head, const std::vector<std::string>& contents,
                                 int64_t lastDeclaredSize) {
    std::vector<uint8_t> out = format::serializeHead(head);
    for (size_t n = 0; n < contents.size(); ++n) {
        const std::string& content = contents[n];
        uint64_t size = n + 1 == contents.size() && lastDeclaredSize >= 0 ? uint64_t(lastDeclaredSize) : content.size();
        for (int i = 0; i < 8; ++i) out.push_back(uint8_t(size >> (8 * i)));
        out.insert(out.end(), content.begin(), content.end());
        format::scramble(out.data() + out.size() - content.size(), content.size());
    }
    return out;
}

namespace {

std::vector<fs::path> kstEntries(const fs::path& root, bool directories) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("kst", 0) != 0 || name.rfind("kst_", 0) == 0) continue;
        if ((name.find(".tmp_dir") != std::string::npos) == directories) out.push_back(entry.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

std::vector<fs::path> runDirectories(const fs::path& root) { return kstEntries(root, true); }
std::vector<fs::path> uniqueFiles(const fs::path& root) { return kstEntries(root, false); }

std::string announcedDirectory(const RunResult& r) { return r.tracedAfter("Temp dir: ").value_or("(none)"); }

fs::path unixPath(const std::string& windowsPath) {
    std::string path = windowsPath.rfind("Z:", 0) == 0 ? windowsPath.substr(2) : windowsPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace kestro::e2e
