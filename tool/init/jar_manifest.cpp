#include "tool/init/jar_manifest.h"

#include <algorithm>
#include <stdexcept>

#include <zlib.h>

namespace kestro::tool::init {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50, kCentralSignature = 0x02014b50, kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22, kCentralSize = 46, kLocalSize = 30;
constexpr size_t kManifestLimit = 1 << 20;

uint32_t get16(std::span<const uint8_t> in, size_t at) { return uint32_t(in[at] | in[at + 1] << 8); }
uint32_t get32(std::span<const uint8_t> in, size_t at) { return get16(in, at) | get16(in, at + 2) << 16; }

[[noreturn]] void damaged(const std::string& why) { throw std::runtime_error("not a readable jar: " + why); }

bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::ranges::equal(a, b, {}, lower, lower);
}

std::string inflated(std::span<const uint8_t> data, size_t size) {
    std::string out(size, '\0');
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) damaged("zlib cannot start");
    stream.next_in = const_cast<Bytef*>(data.data());
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

std::string manifestOf(std::span<const uint8_t> zip) {
    if (zip.size() < kEndSize) damaged("shorter than a zip archive's end record");
    // The end record lies within the last 64 KB and 22 bytes (its comment is at most 65535).
    size_t end = zip.size() - kEndSize;
    size_t lowest = zip.size() > kEndSize + 0xFFFF ? zip.size() - kEndSize - 0xFFFF : 0;
    while (get32(zip, end) != kEndSignature) {
        if (end == lowest) damaged("no zip archive's end record");
        --end;
    }
    size_t count = get16(zip, end + 10), offset = get32(zip, end + 16);
    for (size_t i = 0; i < count; ++i) {
        // The central directory lies before the end record.
        if (offset > end || end - offset < kCentralSize || get32(zip, offset) != kCentralSignature)
            damaged("its central directory ends early");
        size_t method = get16(zip, offset + 10), packed = get32(zip, offset + 20), size = get32(zip, offset + 24);
        size_t nameLength = get16(zip, offset + 28), extra = get16(zip, offset + 30), comment = get16(zip, offset + 32);
        size_t local = get32(zip, offset + 42);
        if (end - offset - kCentralSize < nameLength + extra + comment) damaged("its central directory ends early");
        std::string_view name(reinterpret_cast<const char*>(zip.data()) + offset + kCentralSize, nameLength);
        offset += kCentralSize + nameLength + extra + comment;
        if (!sameName(name, "META-INF/MANIFEST.MF")) continue;
        if (size > kManifestLimit) damaged("its manifest is larger than 1 MB");
        if (local > zip.size() || zip.size() - local < kLocalSize || get32(zip, local) != kLocalSignature)
            damaged("the manifest's entry lies beyond the archive's end");
        size_t start = local + kLocalSize + get16(zip, local + 26) + get16(zip, local + 28);
        if (start > zip.size() || zip.size() - start < packed) damaged("the manifest's data lies beyond the archive's end");
        std::span<const uint8_t> data = zip.subspan(start, packed);
        if (method == 0 && packed == size) return std::string(data.begin(), data.end());
        if (method == 8) return inflated(data, size);
        damaged("its manifest is stored with compression method " + std::to_string(method));
    }
    return "";
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
