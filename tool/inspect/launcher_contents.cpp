#include "tool/inspect/launcher_contents.h"

#include <algorithm>

#include "format/block_reader.h"
#include "format/config_keys.h"
#include "format/native_file.h"
#include "format/pe_layout.h"
#include "tool/platform/file_source.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace {

class HeadCollector final : public format::BlockVisitor {
public:
    explicit HeadCollector(format::BlockHead& head) : head_(head) {}
    void stringEntry(format::ConfigKey key, std::string&& value) override { head_.strings.push_back({key, std::move(value)}); }
    void wideEntry(format::ConfigKey key, std::u16string&& value) override { head_.wides.push_back({key, std::move(value)}); }
    void beginLocaleSet(const std::string& prefix) override { head_.localeSets.push_back({prefix, {}}); }
    void localeEntry(format::ConfigKey key, std::u16string&& value) override {
        head_.localeSets.back().entries.push_back({key, std::move(value)});
    }

private:
    format::BlockHead& head_;
};

// Reads exactly n bytes at pos, or fails.
bool readAt(format::ByteSource& source, uint64_t pos, void* dst, uint32_t n) {
    uint32_t got = 0, error = 0;
    return source.seek(pos, error) && source.read(dst, n, got, error) && got == n;
}

uint64_t littleEndian(const uint8_t* b, size_t n) {
    uint64_t v = 0;
    for (size_t i = n; i-- > 0;) v = (v << 8) | b[i];
    return v;
}

format::PeLayout findBlock(format::ByteSource& source, const std::string& file, std::vector<uint8_t>& headers) {
    headers.resize(size_t(std::min<uint64_t>(source.size(), 64 * 1024)));
    if (!readAt(source, 0, headers.data(), uint32_t(headers.size())))
        throw InspectError("cannot read " + file);
    std::string why;
    auto layout = format::parsePeLayout(headers, source.size(), why);
    if (!layout) throw InspectError(file + " is not a launcher: " + why);
    if (layout->blockOffset >= source.size())
        throw InspectError(file + " carries no configuration block (it ends with its last section; a stub?)");
    return *layout;
}

std::string describeFailure(const format::BlockReader& reader) {
    const auto& failure = *reader.failure();
    bool length = failure.reader == format::Reader::String || failure.reader == format::Reader::WString;
    return length ? "a text length is negative, odd for a wide text, or runs past the end of the file"
                  : "the block ends early (the file is truncated)";
}

// Returns where the head ends.
uint64_t readHead(format::ByteSource& source, const std::string& file, LauncherContents& contents) {
    format::BlockReader reader(source);
    reader.seek(int64_t(contents.blockOffset));
    HeadCollector collector(contents.head);
    switch (format::readBlock(reader, collector)) {
    case format::ReadStatus::BadMagic:
        throw InspectError(file + ": no configuration block at offset " + std::to_string(contents.blockOffset) +
                           " (the data behind the last section does not start with the block's magic number)");
    case format::ReadStatus::ReadFailed:
        throw InspectError(file + ": malformed configuration block near offset " +
                           std::to_string(reader.position()) + ": " + describeFailure(reader));
    case format::ReadStatus::Ok: break;
    }
    uint8_t field[8];
    uint64_t headEnd = reader.position();
    if (readAt(source, contents.blockOffset + format::kHeadSizeFieldOffset, field, 8) &&
        littleEndian(field, 8) != headEnd - contents.blockOffset - format::kHeadSizeFieldOffset)
        contents.warnings.push_back("the block's head size field does not match its entries");
    return headEnd;
}

std::vector<std::string> storedNames(const format::BlockHead& head, CodePage cp) {
    for (auto it = head.strings.rbegin(); it != head.strings.rend(); ++it)
        if (it->key == key::IncludedNames)
            return splitKeepingEmpty(fromCodePage(it->value, cp).value_or(it->value));
    return {};
}

void readRecords(format::ByteSource& source, uint64_t pos, CodePage cp, LauncherContents& contents, const std::string& file) {
    int64_t count = storedInteger(contents.head, key::IncludedCount);
    std::vector<std::string> names = storedNames(contents.head, cp);
    for (int64_t i = 0; i < count; ++i) {
        // Positioned like the entries of `inspect --json`'s "files", from 0.
        std::string record = file + ": included file [" + std::to_string(i) + "]";
        uint8_t field[8];
        if (source.size() - pos < 8 || !readAt(source, pos, field, 8))
            throw InspectError(record + " of " + std::to_string(count) + " is missing: the file ends at offset " +
                               std::to_string(source.size()));
        uint64_t size = littleEndian(field, 8);
        pos += 8;
        if (size > source.size() - pos)
            throw InspectError(record + " claims " + std::to_string(size) + " bytes, more than the " +
                               std::to_string(source.size() - pos) + " left in the file");
        contents.files.push_back({size_t(i) < names.size() ? names[size_t(i)] : "", pos, size});
        pos += size;
    }
    if (names.size() != contents.files.size())
        contents.warnings.push_back("the block names " + std::to_string(names.size()) + " included files but carries " +
                                    std::to_string(contents.files.size()));
    uint8_t trailer[4];
    if (!readAt(source, pos, trailer, 4) || !std::equal(trailer, trailer + 4, format::kTrailer.begin()))
        contents.warnings.push_back("no trailer after the included files");
}

// A malformed section does not keep the block from being shown; the warning says that a
// rebuild would go without it.
void readResourceList(format::ByteSource& source, std::span<const uint8_t> headers, const format::PeLayout& layout,
                   LauncherContents& contents) {
    auto place = format::builtResourceSection(headers, layout);
    if (!place) return;
    // The section is the last, and the layout's reading checked that it ends within the file.
    std::vector<uint8_t> section(place->rawSize);
    std::string why = "it cannot be read";
    std::optional<std::vector<format::Resource>> resources;
    if (readAt(source, place->rawOffset, section.data(), uint32_t(section.size())))
        resources = format::parseResourceSection(section, place->rva, why);
    if (resources) contents.resources = std::move(*resources);
    else contents.warnings.push_back("the resource section is malformed (" + why + "); its resources are not listed");
}

}  // namespace

int64_t storedInteger(const format::BlockHead& head, format::ConfigKey key) {
    int64_t value = 0;
    for (const auto& e : head.strings)
        if (e.key == key) {
            std::string_view text = e.value;
            while (!text.empty() && (text[0] == ' ' || (text[0] >= '\t' && text[0] <= '\r'))) text.remove_prefix(1);
            bool negative = !text.empty() && text[0] == '-';
            if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
            value = 0;
            for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < INT32_MAX; ++i)
                value = value * 10 + (text[i] - '0');
            if (negative) value = -value;
        }
    return value;
}

std::string instanceBehaviour(const format::BlockHead& head) {
    std::string scope = storedInteger(head, key::GlobalInstance) != 0
                            ? "per machine, across all sessions (semaphore \"Global\\...\")"
                            : "per user session (semaphore \"Local\\...\")";
    if (storedInteger(head, key::SingleInstance) == 0) return "every start runs; instances are counted " + scope;
    return "single instance " + scope +
           ": a second start brings the running instance's windows to the front, hands its arguments to it "
           "through the file named by the property kestro.processCommFile (the application receives them with "
           "com.kestro.runtime.InstanceHandover) and ends with exit code 0";
}

LauncherContents readLauncher(format::ByteSource& source, const std::string& file, CodePage cp) {
    LauncherContents contents;
    contents.fileSize = source.size();
    std::vector<uint8_t> headers;
    format::PeLayout layout = findBlock(source, file, headers);
    contents.blockOffset = layout.blockOffset;
    contents.subsystem = layout.subsystem;
    readResourceList(source, headers, layout, contents);
    uint64_t headEnd = readHead(source, file, contents);
    readRecords(source, headEnd, cp, contents, file);
    return contents;
}

LauncherContents readLauncher(const std::filesystem::path& path, CodePage cp) {
    FileSource source(path);
    return readLauncher(source, format::pathText(path), cp);
}

}  // namespace kestro::tool
