#include "format/block_reader.h"

namespace kestro::format {

namespace {

template <class T>
T littleEndian(const uint8_t* b) {
    uint64_t v = 0;
    for (size_t i = sizeof(T); i-- > 0;) v = (v << 8) | b[i];
    return T(v);
}

}  // namespace

const char* fatalText(Reader reader) {
    switch (reader) {
    case Reader::Int: return "Internal Error: readInt";
    case Reader::Long: return "Internal Error: readLong";
    case Reader::Short: return "Internal Error: readShort";
    case Reader::String: return "Internal Error: readString";
    case Reader::WString: return "Internal Error: readWString";
    }
    return "Internal Error";
}

uint64_t BlockReader::remaining() const {
    uint64_t pos = source_.position(), size = source_.size();
    return pos < size ? size - pos : 0;
}

void BlockReader::seek(int64_t pos) {
    uint32_t error = 0;
    if (pos < 0 || pos > int64_t(UINT32_MAX)) {
        seekError_ = 131;  // the system's "negative seek" code: the position is unreachable
    } else if (!source_.seek(uint64_t(pos), error)) {
        seekError_ = error;
    } else {
        seekError_.reset();
    }
}

bool BlockReader::fail(Reader reader, uint32_t error, uint32_t got) {
    if (failure_) return false;
    failure_ = ReadFailure{reader, error, got};
    if (!trace_) return false;
    if (reader == Reader::Int) trace_("error %d %d\n", int(error), int(got));
    else if (reader == Reader::Long || reader == Reader::Short) trace_("error %d\n", int(error));
    return false;
}

bool BlockReader::readExact(void* dst, uint32_t n, Reader reader) {
    if (failure_) return false;
    if (seekError_) return fail(reader, *seekError_, 0);
    uint32_t got = 0, error = 0;
    bool ok = source_.read(dst, n, got, error);
    if (ok && got == n) return true;
    return fail(reader, error, got);
}

bool BlockReader::readInt(int32_t& out) {
    uint8_t b[4];
    if (!readExact(b, 4, Reader::Int)) return false;
    out = littleEndian<int32_t>(b);
    return true;
}

bool BlockReader::readLong(int64_t& out) {
    uint8_t b[8];
    if (!readExact(b, 8, Reader::Long)) return false;
    out = littleEndian<int64_t>(b);
    return true;
}

bool BlockReader::readShort(int16_t& out) {
    uint8_t b[2];
    if (!readExact(b, 2, Reader::Short)) return false;
    out = littleEndian<int16_t>(b);
    return true;
}

bool BlockReader::readString(std::string& out) {
    int32_t n = 0;
    if (!readInt(n)) return false;
    // A negative length, or one beyond the end of the file, is malformed: reject it
    // like a short read instead of trying to allocate it.
    if (n < 0 || uint64_t(n) > remaining()) return fail(Reader::String, 0, 0);
    out.assign(size_t(n), '\0');
    return n == 0 || readExact(out.data(), uint32_t(n), Reader::String);
}

bool BlockReader::readWString(std::u16string& out) {
    int32_t n = 0;
    if (!readInt(n)) return false;
    if (n < 0 || n % 2 != 0 || uint64_t(n) > remaining()) return fail(Reader::WString, 0, 0);
    std::string bytes(size_t(n), '\0');
    if (n != 0 && !readExact(bytes.data(), uint32_t(n), Reader::WString)) return false;
    out.assign(size_t(n) / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = char16_t(uint8_t(bytes[2 * i]) | (uint8_t(bytes[2 * i + 1]) << 8));
    return true;
}

void seekConfigBlock(BlockReader& r) {
    int32_t peOffset = 0, rawSize = 0, rawOffset = 0;
    int16_t sectionsField = 0, optionalSizeField = 0;
    TraceFn trace = r.trace();

    // The section count and the optional header's size are unsigned 16-bit fields, read
    // as such (as the build tool reads them) so that 0x8000 and above do not turn negative.
    r.seek(60);
    if (!r.readInt(peOffset)) return;
    r.seek(int64_t(peOffset) + 6);
    if (!r.readShort(sectionsField)) return;
    uint16_t sections = uint16_t(sectionsField);
    if (trace) trace("number of sections: %d", int(sections));
    r.seek(int64_t(peOffset) + 20);
    if (!r.readShort(optionalSizeField)) return;
    uint16_t optionalSize = uint16_t(optionalSizeField);
    if (trace) trace("size of optional headers: %d", int(optionalSize));

    // The section table starts at P + 24 + H with 40 bytes per header; the last one
    // begins 40 bytes before its end.
    int64_t lastHeader = int64_t(peOffset) + optionalSize + 40 * int64_t(sections) - 16;
    if (trace) trace("resSectionTableStart: %d", int(lastHeader));
    r.seek(lastHeader + 16);
    if (!r.readInt(rawSize)) return;
    r.seek(lastHeader + 20);
    if (!r.readInt(rawOffset)) return;
    if (trace) trace("rawDataSize: %d, rawDataOffset: %d", int(rawSize), int(rawOffset));
    r.seek(int64_t(rawSize) + int64_t(rawOffset));
}

namespace {

bool readWideEntries(BlockReader& r, int32_t count, BlockVisitor& v, bool localeSet) {
    for (int32_t i = 0; i < count; ++i) {
        int32_t key = 0;
        std::u16string value;
        if (!r.readInt(key) || !r.readWString(value)) return false;
        if (localeSet) v.localeEntry(key, std::move(value));
        else v.wideEntry(key, std::move(value));
    }
    return true;
}

}  // namespace

ReadStatus readBlock(BlockReader& r, BlockVisitor& v) {
    int32_t magic = 0, ignored = 0, count = 0;
    int64_t headSize = 0;
    if (!r.readInt(magic)) return ReadStatus::ReadFailed;
    if (uint32_t(magic) != kMagic) return ReadStatus::BadMagic;
    if (!r.readInt(ignored) || !r.readInt(ignored) || !r.readLong(headSize)) return ReadStatus::ReadFailed;

    if (!r.readInt(count)) return ReadStatus::ReadFailed;
    for (int32_t i = 0; i < count; ++i) {
        int32_t key = 0;
        std::string value;
        if (!r.readInt(key) || !r.readString(value)) return ReadStatus::ReadFailed;
        v.stringEntry(key, std::move(value));
    }

    if (!r.readInt(count) || !readWideEntries(r, count, v, false)) return ReadStatus::ReadFailed;
    v.beforeLocaleSets();

    if (!r.readInt(count)) return ReadStatus::ReadFailed;
    for (int32_t i = 0; i < count; ++i) {
        std::string prefix;
        int32_t entries = 0;
        if (!r.readString(prefix) || !r.readInt(entries)) return ReadStatus::ReadFailed;
        v.beginLocaleSet(prefix);
        if (!readWideEntries(r, entries, v, true)) return ReadStatus::ReadFailed;
    }
    return ReadStatus::Ok;
}

}  // namespace kestro::format
