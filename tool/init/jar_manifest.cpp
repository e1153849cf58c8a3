#include "tool/init/jar_manifest.h"

#include <algorithm>
#include <stdexcept>

#include <zlib.h>

namespace kestro::tool::init {

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kLocalSize = 30;
constexpr size_t kManifestLimit = 1 << 20;

uint32_t get16(std::string_view in, size_t at) { return uint32_t(uint8_t(in[at]) | uint8_t(in[at + 1]) << 8); }
uint32_t get32(std::string_view in, size_t at) { return get16(in, at) | get16(in, at + 2) << 16; }

[[noreturn]] void damaged(const std::string& why) { throw std::runtime_error("not a readable jar: " + why); }

bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::ranges::equal(a, b, {}, lower, lower);
}

std::string inflated(std::string_view data, size_t size) {
    std::string out(size, '\0');
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) damaged("zlib cannot start");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    int status = inflate(&stream, Z_FINISH);
    size_t produced = stream.total_out;
    inflateEnd(&stream);
    if (status != Z_STREAM_END || produced != size) damaged("the manifest's compressed data is damaged");
    return out;
}

}  // namespace

std::string manifestOf(uint64_t size, const ArchiveReader& read) {
    std::string problem;
    std::optional<std::vector<ZipEntry>> entries = zipEntries(size, read, &problem);
    if (!entries) damaged(problem);
    for (const ZipEntry& entry : *entries) {
        if (!sameName(entry.name, "META-INF/MANIFEST.MF")) continue;
        if (entry.size > kManifestLimit || entry.packedSize > kManifestLimit)
            damaged("its manifest is larger than 1 MB");
        std::string local;
        if (entry.localOffset > size || size - entry.localOffset < kLocalSize ||
            !read(entry.localOffset, kLocalSize, local) || get32(local, 0) != kLocalSignature)
            damaged("the manifest's entry lies beyond the archive's end");
        uint64_t start = uint64_t(entry.localOffset) + kLocalSize + get16(local, 26) + get16(local, 28);
        std::string data;
        if (start > size || size - start < entry.packedSize || !read(start, entry.packedSize, data))
            damaged("the manifest's data lies beyond the archive's end");
        if (entry.method == 0 && entry.packedSize == entry.size) return data;
        if (entry.method == 8) return inflated(data, entry.size);
        damaged("its manifest is stored with compression method " + std::to_string(entry.method));
    }
    return "";
}

std::string manifestOf(std::span<const uint8_t> zip) {
    return manifestOf(zip.size(), [zip](uint64_t offset, size_t n, std::string& out) {
        if (offset > zip.size() || zip.size() - offset < n) return false;
        out.assign(reinterpret_cast<const char*>(zip.data()) + offset, n);
        return true;
    });
}

std::map<std::string, std::string> mainAttributes(std::string_view manifest) {
    std::map<std::string, std::string> attributes;
    std::string name;  // of the attribute that a continuation line goes on
    while (!manifest.empty()) {
        size_t end = manifest.find_first_of("\r\n");
        std::string_view line = manifest.substr(0, end);
        manifest.remove_prefix(end == std::string_view::npos ? manifest.size() : end + 1);
        if (end != std::string_view::npos && manifest.size() > 0 && manifest[0] == '\n' &&
            manifest.data()[-1] == '\r')
            manifest.remove_prefix(1);
        if (line.empty()) break;  // the main section ends
        if (line[0] == ' ') {
            if (!name.empty()) attributes[name] += line.substr(1);
            continue;
        }
        size_t colon = line.find(": ");
        if (colon == std::string_view::npos) {
            name.clear();
            continue;
        }
        name = std::string(line.substr(0, colon));
        if (!attributes.emplace(name, line.substr(colon + 2)).second) name.clear();
    }
    return attributes;
}

}  // namespace kestro::tool::init
