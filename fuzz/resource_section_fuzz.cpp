// The reading of a resource section, from any bytes. Whatever it accepts is a tree the
// writer can build again, and the rebuilt section reads back to the same resources.
#include <span>
#include <string>

#include "format/resource_section.h"
#include "support/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestro;
    constexpr uint32_t rva = 0x1000;
    std::string error;
    auto resources = format::parseResourceSection({data, size}, rva, error);
    FUZZ_CHECK(resources.has_value() == error.empty());
    if (!resources) return 0;
    size_t total = 0;
    for (const auto& r : *resources) total += r.data.size();
    FUZZ_CHECK(total <= size);
    auto rebuilt = format::buildResourceSection(*resources, rva);
    auto again = format::parseResourceSection(rebuilt, rva, error);
    FUZZ_CHECK(again && *again == *resources);
    return 0;
}
