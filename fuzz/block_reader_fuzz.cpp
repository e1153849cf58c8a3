// The launcher's reading of its own executable, from any bytes: the PE headers that
// locate the block, the block into the configuration tables, then the included files'
// records as extraction walks them (into a sink that keeps nothing).
#include <span>

#include "config/config_tables.h"
#include "config/table_filler.h"
#include "diagnostics/trace.h"
#include "format/block_reader.h"
#include "support/fuzz_check.h"
#include "workfiles/copy_data.h"
#include "workfiles/included_names.h"

namespace kestro::fuzz {

namespace {

class DroppingSink final : public ByteSink {
public:
    bool write(const void*, uint32_t n, uint32_t& written, uint32_t& error) override {
        written = n;
        error = 0;
        return true;
    }
};

// Reads a block at the reader's position into the emptied process-wide tables, which
// the lookups read; a locale of "de_CH" lets the sets with the prefixes "", "d", "de"
// and "de_CH" apply.
void readIntoTables(format::BlockReader& reader, format::ByteSource& source) {
    ConfigTables& tables = configTables();
    tables = ConfigTables{};
    TableFiller filler(tables, [] { return std::string("de_CH"); });
    format::ReadStatus status = format::readBlock(reader, filler);
    FUZZ_CHECK((status == format::ReadStatus::ReadFailed) == reader.failure().has_value());
    if (status != format::ReadStatus::Ok) return;

    int32_t count = lookupInt(key::IncludedCount);
    std::vector<std::string> names = includedFileNames(lookupString(key::IncludedNames), count);
    FUZZ_CHECK(names.size() <= size_t(count > 0 ? count : 0));
    for (const std::string& name : names) {
        if (!isSafeIncludedName(name)) return;
        includedNameDirectory(name);
        int64_t size = 0;
        if (!reader.readLong(size)) return;
        DroppingSink sink;
        if (size > 0 && copyFileData(source, sink, size, true) != 0) return;
    }
}

}  // namespace

}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestro;
    std::span<const uint8_t> bytes(data, size);
    {
        // The whole image, as the launcher reads it.
        format::MemorySource source(bytes);
        format::BlockReader reader(source, &trace);
        format::seekConfigBlock(reader);
        fuzz::readIntoTables(reader, source);
    }
    {
        // A block on its own, from the first byte.
        format::MemorySource source(bytes);
        format::BlockReader reader(source, &trace);
        fuzz::readIntoTables(reader, source);
    }
    return 0;
}
