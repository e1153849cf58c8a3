// kestro build's reading of a configuration file, from any text: the TOML parser (with
// the guard in front of it), every setting's checks and encodings. A configuration
// that loads must serialize into a block that the launcher's reader reads back whole.
// The guard must let through whatever the library itself writes, and keep from the parser
// whatever would stop it on one of its internal checks.
#include <sstream>

#include <toml++/toml.h>

#include "format/block_reader.h"
#include "format/block_writer.h"
#include "support/fuzz_check.h"
#include "tool/config/config_loader.h"
#include "tool/toml/toml_guard.h"

namespace kestro::fuzz {

namespace {

// Counts what the reader delivers.
struct Counter final : format::BlockVisitor {
    size_t strings = 0, wides = 0, sets = 0, setEntries = 0;
    void stringEntry(format::ConfigKey, std::string&&) override { ++strings; }
    void wideEntry(format::ConfigKey, std::u16string&&) override { ++wides; }
    void beginLocaleSet(const std::string&) override { ++sets; }
    void localeEntry(format::ConfigKey, std::u16string&&) override { ++setEntries; }
};

// A document the parser took, written out again by the library, is valid TOML that
// the guard must not refuse.
void checkGuardPassesWrittenToml(std::string_view text) {
    if (tool::findParserHazard(text)) return;
    toml::table doc;
    try {
        doc = toml::parse(text);
    } catch (const toml::parse_error&) {
        return;
    }
    std::ostringstream written;
    written << doc;
    // The library writes a text with line breaks as a multi-line literal string even when
    // the text holds three quotes, which ends such a string early: that output is no TOML.
    if (written.str().find("'''") != std::string::npos) return;
    FUZZ_CHECK(!tool::findParserHazard(written.str()));
}

}  // namespace

}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestro;
    fuzz::checkGuardPassesWrittenToml(fuzz::asText(data, size));
    tool::BuildPlan plan;
    try {
        // Included files' sources are looked for below a directory that does not exist.
        plan = tool::loadConfiguration(fuzz::asText(data, size), "no-such-directory/fuzz.toml");
    } catch (const tool::ConfigError& e) {
        // The guard keeps from the parser every input that would stop it on a check.
        FUZZ_CHECK(std::string_view(e.what()).find(tool::kTomlReaderFault) == std::string_view::npos);
        return 0;
    }
    std::vector<uint8_t> block = format::serializeHead(plan.head);
    format::MemorySource source(block);
    format::BlockReader reader(source);
    fuzz::Counter counter;
    FUZZ_CHECK(format::readBlock(reader, counter) == format::ReadStatus::Ok);
    FUZZ_CHECK(reader.remaining() == 0);
    FUZZ_CHECK(counter.strings == plan.head.strings.size());
    FUZZ_CHECK(counter.wides == plan.head.wides.size());
    FUZZ_CHECK(counter.sets == plan.head.localeSets.size());
    return 0;
}
