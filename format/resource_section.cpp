#include "format/resource_section.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <set>

namespace kestro::format {

namespace {

constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr uint32_t kSectionCharacteristics = 0x40000040u;  // initialized data, readable
constexpr std::array<uint8_t, 8> kSectionName{'.', 'r', 's', 'r', 'c', 0, 0, 0};

// Optional header fields (PE32+), relative to its start.
constexpr size_t kSizeOfInitializedData = 8;
constexpr size_t kSizeOfImage = 56;

uint32_t u32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t u16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}
void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
uint64_t alignUp(uint64_t v, uint64_t alignment) { return (v + alignment - 1) / alignment * alignment; }
bool powerOfTwo(uint32_t v) { return v && !(v & (v - 1)); }

using Languages = std::map<uint16_t, const Resource*>;
using Ids = std::map<uint16_t, Languages>;
using Types = std::map<uint16_t, Ids>;

// Writes a directory header for `count` id entries at `at`; returns where its entries begin.
size_t directoryHeader(std::vector<uint8_t>& out, size_t at, size_t count) {
    put16(out, at + 14, uint16_t(count));
    return at + kDirectoryHeaderSize;
}

class Parser {
public:
    Parser(std::span<const uint8_t> section, uint32_t rva, std::string& error)
        : s_(section), rva_(rva), error_(error) {}

    std::optional<std::vector<Resource>> run() {
        if (!directory(0, 0, 0, 0)) return std::nullopt;
        std::ranges::sort(out_, {}, [](const Resource& r) { return std::tuple(r.type, r.id, r.language); });
        return std::move(out_);
    }

private:
    bool fail(std::string text) {
        error_ = std::move(text);
        return false;
    }

    // Each directory and data entry is read once: a tree whose entries point back or at
    // one another's directories would otherwise list without end.
    bool claim(uint32_t offset, uint32_t size, const char* what) {
        if (offset > s_.size() || s_.size() - offset < size)
            return fail(std::string(what) + " at offset " + std::to_string(offset) + " lies outside the section");
        if (!visited_.insert(offset).second)
            return fail(std::string(what) + " at offset " + std::to_string(offset) + " is reached twice");
        return true;
    }

    // Level 0 lists types, 1 ids, 2 languages, whose entries point at data entries.
    bool directory(uint32_t offset, int level, uint16_t type, uint16_t id) {
        if (!claim(offset, kDirectoryHeaderSize, "a resource directory")) return false;
        uint32_t named = u16(s_, offset + 12), numbered = u16(s_, offset + 14);
        if (named) return fail("the resources have names; only numbered resources are read");
        uint32_t entries = offset + kDirectoryHeaderSize;
        if (s_.size() - entries < uint64_t(numbered) * kEntrySize)
            return fail("a resource directory's entries run past the end of the section");
        std::set<uint32_t> numbers;
        for (uint32_t i = 0; i < numbered; ++i) {
            uint32_t number = u32(s_, entries + i * kEntrySize), target = u32(s_, entries + i * kEntrySize + 4);
            if (number > 0xFFFF) return fail("a resource directory entry has a name or a number beyond 65535");
            if (!numbers.insert(number).second)
                return fail("number " + std::to_string(number) + " is listed twice in one resource directory");
            bool sub = target & kSubdirectoryFlag;
            if (sub != (level < 2))
                return fail(level < 2 ? "a resource directory entry points at data instead of a directory"
                                      : "the resource tree is deeper than type, id and language");
            bool ok = level == 0   ? directory(target & ~kSubdirectoryFlag, 1, uint16_t(number), 0)
                      : level == 1 ? directory(target & ~kSubdirectoryFlag, 2, type, uint16_t(number))
                                   : dataEntry(target, type, id, uint16_t(number));
            if (!ok) return false;
        }
        return true;
    }

    bool dataEntry(uint32_t offset, uint16_t type, uint16_t id, uint16_t language) {
        if (!claim(offset, kDataEntrySize, "a resource data entry")) return false;
        uint32_t rva = u32(s_, offset), size = u32(s_, offset + 4);
        std::string which =
            "resource " + std::to_string(type) + "/" + std::to_string(id) + "/" + std::to_string(language);
        if (rva < rva_ || rva - rva_ > s_.size() || s_.size() - (rva - rva_) < size)
            return fail(which + ": its data lies outside the section");
        // Data ranges never overlap in a sound section, so together they fit in it.
        dataTotal_ += size;
        if (dataTotal_ > s_.size()) return fail(which + ": the resources' data overlap");
        const uint8_t* data = s_.data() + (rva - rva_);
        out_.push_back({type, id, language, std::vector<uint8_t>(data, data + size)});
        return true;
    }

    std::span<const uint8_t> s_;
    uint32_t rva_;
    std::string& error_;
    std::set<uint32_t> visited_;
    uint64_t dataTotal_ = 0;
    std::vector<Resource> out_;
};

size_t header(const PeLayout& layout, size_t index) { return layout.sectionTableOffset + index * kSectionHeaderSize; }

// The first byte that section data or the end of the headers claims: a new section
// header must end before it.
uint64_t headerLimit(std::span<const uint8_t> image, const PeLayout& layout, uint16_t count) {
    uint64_t limit = layout.sizeOfHeaders;
    for (size_t i = 0; i < count; ++i) {
        size_t h = header(layout, i);
        if (u32(image, h + 16) && u32(image, h + 20)) limit = std::min<uint64_t>(limit, u32(image, h + 20));
    }
    return limit;
}

// The end of the image in memory, section alignment applied.
uint64_t imageEnd(std::span<const uint8_t> image, const PeLayout& layout, uint16_t count) {
    uint64_t end = 0;
    for (size_t i = 0; i < count; ++i) {
        size_t h = header(layout, i);
        uint32_t virtualSize = u32(image, h + 8), rawSize = u32(image, h + 16);
        end = std::max<uint64_t>(end, uint64_t(u32(image, h + 12)) + (virtualSize ? virtualSize : rawSize));
    }
    return alignUp(end, layout.sectionAlignment);
}

}  // namespace

std::vector<uint8_t> buildResourceSection(const std::vector<Resource>& resources, uint32_t sectionRva) {
    Types types;
    for (const auto& r : resources) types[r.type][r.id][r.language] = &r;

    // Directories first (root, types' id lists, ids' language lists), then the data
    // entries, then the data.
    size_t idLists = 0, languageLists = 0, count = 0;
    for (const auto& [type, ids] : types) {
        idLists += kDirectoryHeaderSize + kEntrySize * ids.size();
        for (const auto& [id, languages] : ids) {
            languageLists += kDirectoryHeaderSize + kEntrySize * languages.size();
            count += languages.size();
        }
    }
    size_t rootSize = kDirectoryHeaderSize + kEntrySize * types.size();
    size_t typeAt = rootSize, languageAt = typeAt + idLists, entryAt = languageAt + languageLists;
    size_t dataAt = entryAt + kDataEntrySize * count, size = dataAt;
    for (const auto& [type, ids] : types)
        for (const auto& [id, languages] : ids)
            for (const auto& [language, r] : languages) size = alignUp(size, 8) + r->data.size();
    std::vector<uint8_t> out(alignUp(size, 8), 0);

    size_t root = directoryHeader(out, 0, types.size());
    for (const auto& [type, ids] : types) {
        put32(out, root, type);
        put32(out, root + 4, uint32_t(typeAt) | kSubdirectoryFlag);
        root += kEntrySize;
        size_t idEntry = directoryHeader(out, typeAt, ids.size());
        typeAt = idEntry + kEntrySize * ids.size();
        for (const auto& [id, languages] : ids) {
            put32(out, idEntry, id);
            put32(out, idEntry + 4, uint32_t(languageAt) | kSubdirectoryFlag);
            idEntry += kEntrySize;
            size_t languageEntry = directoryHeader(out, languageAt, languages.size());
            languageAt = languageEntry + kEntrySize * languages.size();
            for (const auto& [language, r] : languages) {
                put32(out, languageEntry, language);
                put32(out, languageEntry + 4, uint32_t(entryAt));
                languageEntry += kEntrySize;
                dataAt = alignUp(dataAt, 8);
                put32(out, entryAt, uint32_t(sectionRva + dataAt));
                put32(out, entryAt + 4, uint32_t(r->data.size()));
                entryAt += kDataEntrySize;
                std::ranges::copy(r->data, out.begin() + dataAt);
                dataAt += r->data.size();
            }
        }
    }
    return out;
}

std::optional<std::vector<Resource>> parseResourceSection(std::span<const uint8_t> section, uint32_t sectionRva,
                                                          std::string& error) {
    return Parser(section, sectionRva, error).run();
}

std::optional<SectionPlace> builtResourceSection(std::span<const uint8_t> headers, const PeLayout& layout) {
    if (!layout.resourceEntryOffset || layout.sectionCount == 0) return std::nullopt;
    size_t h = header(layout, layout.sectionCount - 1);
    SectionPlace place{.rva = u32(headers, h + 12),
                       .virtualSize = u32(headers, h + 8),
                       .rawOffset = u32(headers, h + 20),
                       .rawSize = u32(headers, h + 16)};
    if (!std::equal(kSectionName.begin(), kSectionName.end(), headers.begin() + h) || place.rva == 0 ||
        u32(headers, layout.resourceEntryOffset) != place.rva)
        return std::nullopt;
    return place;
}

bool setResources(Stub& stub, const std::vector<Resource>& resources, std::string& error) {
    const PeLayout& layout = stub.layout;
    auto built = builtResourceSection(stub.image, layout);
    if (!built && resources.empty()) return true;  // nothing to add, nothing to take away
    if (!layout.resourceEntryOffset) {
        error = "the executable's header has no entry for a resource table";
        return false;
    }
    if (!built && u32(stub.image, layout.resourceEntryOffset)) {
        error = "the executable already has a resource table of its own, which a build would not keep";
        return false;
    }
    if (!powerOfTwo(layout.sectionAlignment) || !powerOfTwo(layout.fileAlignment)) {
        error = "the executable's section or file alignment is not a power of two";
        return false;
    }

    std::vector<uint8_t> image = stub.image;
    size_t optional = layout.optionalOffset;
    uint16_t count = layout.sectionCount;
    uint32_t initialized = u32(image, optional + kSizeOfInitializedData);
    if (built) {
        --count;
        std::fill_n(image.begin() + header(layout, count), kSectionHeaderSize, 0);
        initialized -= std::min(initialized, built->rawSize);
        put32(image, layout.resourceEntryOffset, 0);
        put32(image, layout.resourceEntryOffset + 4, 0);
        if (count == 0) {
            error = "the executable has no sections besides its resources";
            return false;
        }
        size_t last = header(layout, count - 1);
        image.resize(size_t(std::min<uint64_t>(image.size(), uint64_t(u32(image, last + 20)) + u32(image, last + 16))));
    }

    if (!resources.empty()) {
        size_t h = header(layout, count);
        if (h + kSectionHeaderSize > headerLimit(image, layout, count) ||
            !std::all_of(image.begin() + h, image.begin() + h + kSectionHeaderSize, [](uint8_t b) { return b == 0; })) {
            error = "the executable's headers have no room for another section header";
            return false;
        }
        uint64_t rva = imageEnd(image, layout, count);
        uint64_t rawOffset = alignUp(image.size(), layout.fileAlignment);
        std::vector<uint8_t> contents = buildResourceSection(resources, uint32_t(rva));
        uint64_t rawSize = alignUp(contents.size(), layout.fileAlignment);
        if (rva + contents.size() > 0xFFFFFFFFu || rawOffset + rawSize > 0x7FFFFFFFu) {
            error = "the resources do not fit into the executable (" + std::to_string(contents.size()) + " bytes)";
            return false;
        }
        std::copy(kSectionName.begin(), kSectionName.end(), image.begin() + h);
        put32(image, h + 8, uint32_t(contents.size()));
        put32(image, h + 12, uint32_t(rva));
        put32(image, h + 16, uint32_t(rawSize));
        put32(image, h + 20, uint32_t(rawOffset));
        put32(image, h + 36, kSectionCharacteristics);
        image.resize(size_t(rawOffset), 0);
        image.insert(image.end(), contents.begin(), contents.end());
        image.resize(size_t(rawOffset + rawSize), 0);
        put32(image, layout.resourceEntryOffset, uint32_t(rva));
        put32(image, layout.resourceEntryOffset + 4, uint32_t(contents.size()));
        initialized += uint32_t(rawSize);
        ++count;
    }
    put16(image, optional - 24 + 6, count);  // NumberOfSections, in the file header
    put32(image, optional + kSizeOfInitializedData, initialized);
    put32(image, optional + kSizeOfImage, uint32_t(imageEnd(image, layout, count)));

    std::string why;
    auto parsed = parsePeLayout(image, image.size(), why);
    if (!parsed) {
        error = "the executable is unusable with resources: " + why;
        return false;
    }
    stub.image = std::move(image);
    stub.layout = *parsed;
    return true;
}

bool readResources(const Stub& stub, std::vector<Resource>& resources, std::string& error) {
    resources.clear();
    auto place = builtResourceSection(stub.image, stub.layout);
    if (!place) return true;
    if (place->rawOffset > stub.image.size() || stub.image.size() - place->rawOffset < place->rawSize) {
        error = "the resource section lies outside the file";
        return false;
    }
    std::span<const uint8_t> section(stub.image.data() + place->rawOffset, place->rawSize);
    auto parsed = parseResourceSection(section, place->rva, error);
    if (!parsed) return false;
    resources = std::move(*parsed);
    return true;
}

}  // namespace kestro::format
