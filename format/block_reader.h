// Reading a configuration block field by field. Each field is one read of the source;
// every length read from the file is checked against what is left of the file before
// anything is allocated.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "format/block_format.h"
#include "format/byte_source.h"

namespace kestro::format {

// The readers a failure can come from; each has its own fixed report text.
enum class Reader { Int, Long, Short, String, WString };

struct ReadFailure {
    Reader reader;
    uint32_t error = 0;  // system error code seen by the failing read
    uint32_t got = 0;    // bytes delivered by the failing read
};

// "Internal Error: readInt" and its siblings.
const char* fatalText(Reader reader);

// printf-style sink for the reader's trace lines; null traces nothing.
using TraceFn = void (*)(const char* format, ...);

class BlockReader {
public:
    explicit BlockReader(ByteSource& source, TraceFn trace = nullptr) : source_(source), trace_(trace) {}

    // Each reader returns false on a short or failed read, or a malformed length, and
    // records the failure; later reads keep failing.
    [[nodiscard]] bool readInt(int32_t& out);
    [[nodiscard]] bool readLong(int64_t& out);
    [[nodiscard]] bool readShort(int16_t& out);
    [[nodiscard]] bool readString(std::string& out);
    [[nodiscard]] bool readWString(std::u16string& out);

    // Moves to pos. A position that cannot be reached is not reported here: the next
    // read fails with the seek's error code.
    void seek(int64_t pos);
    uint64_t position() const { return source_.position(); }
    uint64_t remaining() const;

    const std::optional<ReadFailure>& failure() const { return failure_; }
    TraceFn trace() const { return trace_; }

private:
    bool readExact(void* dst, uint32_t n, Reader reader);
    bool fail(Reader reader, uint32_t error, uint32_t got);

    ByteSource& source_;
    TraceFn trace_;
    std::optional<ReadFailure> failure_;
    std::optional<uint32_t> seekError_;
};

// Moves the reader to the first byte behind the raw data of the last section in the
// executable's section table, where the block begins. Failures show on the next read.
void seekConfigBlock(BlockReader& reader);

// Receives the parts of a block in the order they are stored.
class BlockVisitor {
public:
    virtual ~BlockVisitor() = default;
    virtual void stringEntry(ConfigKey key, std::string&& value) = 0;
    virtual void wideEntry(ConfigKey key, std::u16string&& value) = 0;
    // Called once, after the wide entries and before the first locale set.
    virtual void beforeLocaleSets() {}
    virtual void beginLocaleSet(const std::string& prefix) = 0;
    virtual void localeEntry(ConfigKey key, std::u16string&& value) = 0;
};

enum class ReadStatus { Ok, BadMagic, ReadFailed };

// Reads one block from the reader's position up to the end of the locale sets. On
// ReadFailed, reader.failure() tells which reader ran past the end.
[[nodiscard]] ReadStatus readBlock(BlockReader& reader, BlockVisitor& visitor);

}  // namespace kestro::format
