#include "tool/resources/icon_resources.h"

#include <algorithm>
#include <array>

#include "tool/resources/little_endian.h"

namespace kestro::tool::resources {

namespace {

constexpr size_t kDirHeader = 6;     // reserved, type, count
constexpr size_t kFileEntry = 16;    // ICONDIRENTRY: ... bytes in image, offset in file
constexpr size_t kGroupEntry = 14;   // GRPICONDIRENTRY: ... bytes in image, RT_ICON id
constexpr size_t kCommonFields = 12; // width .. bytes in image, the same in both
constexpr std::array<uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

[[noreturn]] void notAnIcon(const std::string& why) { throw ResourceError("not an icon: " + why); }

unsigned side(uint8_t stored) { return stored == 0 ? 256 : stored; }

bool isPng(std::span<const uint8_t> image) {
    return image.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), image.begin());
}

IconImage describe(std::span<const uint8_t> entry, std::span<const uint8_t> image) {
    return {side(entry[0]), side(entry[1]), get16(entry, 6), isPng(image), get32(entry, 8)};
}

// The header fields of an icon directory, of a file or of a group.
uint16_t checkedCount(std::span<const uint8_t> dir, size_t entrySize) {
    if (dir.size() < kDirHeader) notAnIcon("the file is shorter than an icon directory (6 bytes)");
    if (get16(dir, 0) != 0 || get16(dir, 2) != 1)
        notAnIcon("the directory's reserved and type fields are " + std::to_string(get16(dir, 0)) + " and " +
                  std::to_string(get16(dir, 2)) + ", not 0 and 1 (a cursor has type 2)");
    uint16_t count = get16(dir, 4);
    if (count == 0) notAnIcon("the directory lists no images");
    if (dir.size() - kDirHeader < size_t(count) * entrySize)
        notAnIcon("the directory lists " + std::to_string(count) + " images but the file ends within it");
    return count;
}

}  // namespace

std::vector<IconImage> readIconDirectory(std::span<const uint8_t> ico) {
    uint16_t count = checkedCount(ico, kFileEntry);
    std::vector<IconImage> images;
    for (size_t i = 0; i < count; ++i) {
        auto entry = ico.subspan(kDirHeader + i * kFileEntry, kFileEntry);
        uint32_t size = get32(entry, 8), offset = get32(entry, 12);
        std::string which = "image " + std::to_string(i + 1) + " of " + std::to_string(count);
        if (offset > ico.size() || size > ico.size() - offset)
            notAnIcon(which + " lies beyond the end of the file (" + std::to_string(size) + " bytes at offset " +
                      std::to_string(offset) + ", the file has " + std::to_string(ico.size()) + ")");
        if (offset < kDirHeader + count * kFileEntry) notAnIcon(which + " overlaps the directory");
        auto image = ico.subspan(offset, size);
        // A DIB begins with its header's size: 40 for the BITMAPINFOHEADER that icons use,
        // else that of one of the other bitmap headers.
        auto headerSizes = {12u, 40u, 52u, 56u, 108u, 124u};
        if (!isPng(image) && (size < 40 || std::ranges::find(headerSizes, get32(image, 0)) == headerSizes.end()))
            notAnIcon(which + " is neither PNG data nor a bitmap");
        images.push_back(describe(entry, image));
    }
    return images;
}

std::vector<uint8_t> iconFileFromPng(std::span<const uint8_t> png) {
    // The signature, then the IHDR chunk: length 13, "IHDR", width and height (big-endian),
    // bit depth, colour type, ...
    constexpr std::array<uint8_t, 8> kHeader{0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    if (!isPng(png) || png.size() < 33 || !std::equal(kHeader.begin(), kHeader.end(), png.begin() + 8))
        notAnIcon("the PNG image has no header (IHDR) where its signature ends");
    auto big32 = [&](size_t at) { return uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | png[at + 2] << 8 | png[at + 3]; };
    uint32_t width = big32(16), height = big32(20);
    if (width == 0 || height == 0 || width > 256 || height > 256)
        notAnIcon("the PNG image is " + std::to_string(width) + "x" + std::to_string(height) +
                  " pixels; an icon's image is at most 256x256");
    unsigned channels = std::array<unsigned, 7>{1, 0, 3, 1, 2, 0, 4}[std::min<uint8_t>(png[25], 6)];
    std::vector<uint8_t> ico;
    put16(ico, 0);
    put16(ico, 1);
    put16(ico, 1);
    ico.insert(ico.end(), {uint8_t(width), uint8_t(height), 0, 0});  // 256 is stored as 0
    put16(ico, 1);                                                     // planes
    put16(ico, uint16_t(channels * png[24]));                          // bits a pixel
    put32(ico, uint32_t(png.size()));
    put32(ico, uint32_t(kDirHeader + kFileEntry));
    ico.insert(ico.end(), png.begin(), png.end());
    return ico;
}

std::vector<Resource> iconResources(std::span<const uint8_t> file) {
    std::vector<uint8_t> wrapped;
    if (isPng(file)) wrapped = iconFileFromPng(file);
    std::span<const uint8_t> ico = wrapped.empty() ? file : std::span<const uint8_t>(wrapped);
    uint16_t count = checkedCount(ico, kFileEntry);
    readIconDirectory(ico);
    std::vector<Resource> out;
    Resource group{kTypeGroupIcon, kIconGroupId, kLanguage, {}};
    put16(group.data, 0);
    put16(group.data, 1);
    put16(group.data, count);
    for (uint16_t i = 0; i < count; ++i) {
        auto entry = ico.subspan(kDirHeader + i * kFileEntry, kFileEntry);
        auto image = ico.subspan(get32(entry, 12), get32(entry, 8));
        uint16_t id = uint16_t(kFirstIconId + i);
        out.push_back({kTypeIcon, id, kLanguage, {image.begin(), image.end()}});
        group.data.insert(group.data.end(), entry.begin(), entry.begin() + kCommonFields);
        put16(group.data, id);
    }
    out.push_back(std::move(group));
    return out;
}

std::optional<std::vector<uint8_t>> iconFile(const Resource& group, std::span<const Resource> resources) {
    uint16_t count = 0;
    try {
        count = checkedCount(group.data, kGroupEntry);
    } catch (const ResourceError&) {
        return std::nullopt;
    }
    std::vector<uint8_t> ico(group.data.begin(), group.data.begin() + kDirHeader);
    std::vector<uint8_t> images;
    uint32_t offset = uint32_t(kDirHeader + count * kFileEntry);
    for (size_t i = 0; i < count; ++i) {
        std::span<const uint8_t> entry(group.data.data() + kDirHeader + i * kGroupEntry, kGroupEntry);
        uint16_t id = get16(entry, 12);
        auto named = [&](const Resource& r) { return r.type == kTypeIcon && r.id == id; };
        auto sameLanguage = [&](const Resource& r) { return named(r) && r.language == group.language; };
        auto same = std::ranges::find_if(resources, sameLanguage);
        auto image = same != resources.end() ? same : std::ranges::find_if(resources, named);
        if (image == resources.end() || image->data.size() != get32(entry, 8)) return std::nullopt;
        ico.insert(ico.end(), entry.begin(), entry.begin() + kCommonFields);
        put32(ico, offset);
        offset += uint32_t(image->data.size());
        images.insert(images.end(), image->data.begin(), image->data.end());
    }
    ico.insert(ico.end(), images.begin(), images.end());
    return ico;
}

std::string describeImages(const std::vector<IconImage>& images) {
    std::string text;
    for (const IconImage& image : images) {
        text += (text.empty() ? "" : ", ") + std::to_string(image.width) + "x" + std::to_string(image.height);
        text += image.png ? " PNG" : " " + std::to_string(image.bitCount) + "-bit";
    }
    return text;
}

}  // namespace kestro::tool::resources
