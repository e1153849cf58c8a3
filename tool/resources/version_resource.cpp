#include "tool/resources/version_resource.h"

#include <charconv>

#include "tool/resources/little_endian.h"
#include "tool/resources/resource_kinds.h"
#include "tool/text/code_page.h"

namespace kestro::tool::resources {

namespace {

constexpr uint32_t kSignature = 0xFEEF04BD;
constexpr uint32_t kStructVersion = 0x00010000;
constexpr uint32_t kFlagsMask = 0x3F;           // VS_FFI_FILEFLAGSMASK
constexpr uint32_t kOsNtWindows32 = 0x00040004; // VOS_NT_WINDOWS32
constexpr uint32_t kTypeApplication = 1;        // VFT_APP
constexpr size_t kFixedSize = 52;               // VS_FIXEDFILEINFO
constexpr uint16_t kCodePageUnicode = 1200;
constexpr std::u16string_view kStringTableKey = u"040904B0";  // kLanguage, kCodePageUnicode

constexpr uint16_t kBinary = 0, kText = 1;

struct Field {
    std::u16string_view key;
    std::string VersionStrings::*text;
};
// In the order the table lists them.
constexpr std::array<Field, 8> kFields{{
    {u"CompanyName", &VersionStrings::companyName},
    {u"FileDescription", &VersionStrings::fileDescription},
    {u"FileVersion", &VersionStrings::fileVersion},
    {u"InternalName", &VersionStrings::internalName},
    {u"LegalCopyright", &VersionStrings::legalCopyright},
    {u"OriginalFilename", &VersionStrings::originalFilename},
    {u"ProductName", &VersionStrings::productName},
    {u"ProductVersion", &VersionStrings::productVersion},
}};

// Every block of the format: its length, the length of its value (in bytes, or for a
// text in UTF-16 units with the terminator), its kind, a zero-terminated key, then the
// value and the children, each starting on a 32-bit boundary. A block's length stops at
// the end of its last part, before any padding that follows it.
struct Block {
    std::u16string key;
    uint16_t type = kBinary;
    uint16_t valueLength = 0;
    std::vector<uint8_t> value;
    std::vector<Block> children;
};

void align(std::vector<uint8_t>& out) {
    while (out.size() % 4) out.push_back(0);
}

void putText(std::vector<uint8_t>& out, std::u16string_view text) {
    for (char16_t c : text) put16(out, c);
    put16(out, 0);
}

void write(std::vector<uint8_t>& out, const Block& block) {
    size_t start = out.size();
    put16(out, 0);
    put16(out, block.valueLength);
    put16(out, block.type);
    putText(out, block.key);
    if (!block.value.empty()) {
        align(out);
        out.insert(out.end(), block.value.begin(), block.value.end());
    }
    for (const Block& child : block.children) {
        align(out);
        write(out, child);
    }
    if (out.size() - start > 0xFFFF)
        throw ResourceError("the version information is too long (" + std::to_string(out.size() - start) +
                            " bytes in a block of at most 65535); shorten its texts");
    set16(out, start, uint16_t(out.size() - start));
}

Block text(std::u16string_view key, std::u16string_view value) {
    Block block{std::u16string(key), kText, uint16_t(value.size() + 1), {}, {}};
    putText(block.value, value);
    return block;
}

Block fixedInfo(const VersionInfo& info) {
    Block root{u"VS_VERSION_INFO", kBinary, kFixedSize, {}, {}};
    auto& v = root.value;
    auto pair = [&](const VersionNumbers& n) {
        put32(v, uint32_t(n[0]) << 16 | n[1]);
        put32(v, uint32_t(n[2]) << 16 | n[3]);
    };
    put32(v, kSignature);
    put32(v, kStructVersion);
    pair(info.fileVersion);
    pair(info.productVersion);
    for (uint32_t field : {kFlagsMask, 0u, kOsNtWindows32, kTypeApplication, 0u, 0u, 0u}) put32(v, field);
    return root;
}

// Reading: each block bounded by its parent, each length checked before use.
std::optional<Block> read(std::span<const uint8_t> data, size_t at, size_t end) {
    if (end - at < 6) return std::nullopt;
    size_t length = get16(data, at);
    if (length < 6 || length > end - at) return std::nullopt;
    end = at + length;
    Block block;
    block.valueLength = get16(data, at + 2);
    block.type = get16(data, at + 4);
    size_t pos = at + 6;
    for (;;) {
        if (end - pos < 2) return std::nullopt;
        char16_t c = get16(data, pos);
        pos += 2;
        if (c == 0) break;
        block.key += c;
    }
    pos = (pos + 3) & ~size_t(3);
    size_t valueBytes = block.type == kText ? size_t(block.valueLength) * 2 : block.valueLength;
    if (valueBytes) {
        if (pos > end || valueBytes > end - pos) return std::nullopt;
        block.value.assign(data.begin() + pos, data.begin() + pos + valueBytes);
        pos += valueBytes;
    }
    for (pos = (pos + 3) & ~size_t(3); pos < end; pos = (pos + 3) & ~size_t(3)) {
        auto child = read(data, pos, end);
        if (!child) return std::nullopt;
        pos += get16(data, pos);
        block.children.push_back(std::move(*child));
    }
    return block;
}

std::optional<std::string> textValue(const Block& block) {
    std::u16string text;
    for (size_t i = 0; i + 1 < block.value.size(); i += 2) {
        char16_t c = get16(block.value, i);
        if (c == 0) break;
        text += c;
    }
    return utf16ToUtf8(text);
}

const Block* child(const Block& block, std::u16string_view key) {
    for (const Block& c : block.children)
        if (c.key == key) return &c;
    return nullptr;
}

}  // namespace

VersionNumbers parseVersionNumbers(std::string_view text) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    const std::string form = "; write three or four numbers from 0 to 65535 separated by dots, such as \"1.2.3\" or "
                             "\"1.2.3.4\"";
    VersionNumbers numbers{};
    size_t count = 0;
    std::string_view rest = text;
    for (;;) {
        size_t dot = rest.find('.');
        std::string_view part = rest.substr(0, dot);
        if (count == 4) throw ResourceError(quoted + " has more than four parts" + form);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string_view::npos)
            throw ResourceError(quoted + " is not a version number" + form);
        unsigned value = 0;
        auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (ec != std::errc() || value > 0xFFFF)
            throw ResourceError(quoted + ": " + std::string(part) + " is above 65535, the largest part a Windows "
                                "version number has");
        numbers[count++] = uint16_t(value);
        if (dot == std::string_view::npos) break;
        rest.remove_prefix(dot + 1);
    }
    if (count < 3) throw ResourceError(quoted + " has fewer than three parts" + form);
    return numbers;
}

std::string versionText(const VersionNumbers& n) {
    return std::to_string(n[0]) + "." + std::to_string(n[1]) + "." + std::to_string(n[2]) + "." + std::to_string(n[3]);
}

std::vector<uint8_t> versionResource(const VersionInfo& info) {
    Block root = fixedInfo(info);
    Block table{std::u16string(kStringTableKey), kText, 0, {}, {}};
    for (const Field& field : kFields)
        if (const std::string& value = info.strings.*field.text; !value.empty())
            table.children.push_back(text(field.key, utf8ToUtf16(value)));
    root.children.push_back({u"StringFileInfo", kText, 0, {}, {std::move(table)}});
    Block translation{u"Translation", kBinary, 4, {}, {}};
    put16(translation.value, kLanguage);
    put16(translation.value, kCodePageUnicode);
    root.children.push_back({u"VarFileInfo", kText, 0, {}, {std::move(translation)}});
    std::vector<uint8_t> out;
    write(out, root);
    return out;
}

std::optional<VersionInfo> decodeVersionResource(std::span<const uint8_t> data) {
    auto root = read(data, 0, data.size());
    if (!root || root->key != u"VS_VERSION_INFO" || root->value.size() != kFixedSize ||
        get32(root->value, 0) != kSignature)
        return std::nullopt;
    VersionInfo info;
    auto pair = [&](size_t at) {
        uint32_t high = get32(root->value, at), low = get32(root->value, at + 4);
        return VersionNumbers{uint16_t(high >> 16), uint16_t(high), uint16_t(low >> 16), uint16_t(low)};
    };
    info.fileVersion = pair(8);
    info.productVersion = pair(16);
    const Block* strings = child(*root, u"StringFileInfo");
    if (strings && !strings->children.empty())
        for (const Field& field : kFields)
            if (const Block* entry = child(strings->children.front(), field.key))
                if (auto value = textValue(*entry)) info.strings.*field.text = *value;
    return info;
}

}  // namespace kestro::tool::resources
