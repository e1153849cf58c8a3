// The build tool's reading of a stub's PE headers, from any bytes. Where it accepts an
// image, the launcher's own search for its block must land on the same byte: the tool
// puts the block where the tool's reading says, and the launcher looks where its own does.
#include <span>
#include <string>

#include "format/block_reader.h"
#include "format/pe_layout.h"
#include "support/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestro;
    std::span<const uint8_t> bytes(data, size);
    std::string error;
    auto layout = format::parsePeLayout(bytes, size, error);
    FUZZ_CHECK(layout.has_value() == error.empty());
    if (!layout) return 0;
    FUZZ_CHECK(layout->blockOffset <= size);
    FUZZ_CHECK(layout->certificateEntryOffset == 0 || layout->certificateEntryOffset + 8 <= size);

    format::MemorySource source(bytes);
    format::BlockReader reader(source);
    format::seekConfigBlock(reader);
    FUZZ_CHECK(!reader.failure());
    FUZZ_CHECK(reader.position() == layout->blockOffset);
    return 0;
}
