// kestro inspect on any bytes taken for a launcher: the reading of the image, block and
// included file records, then the three reports in both code pages. Where the printed
// configuration claims to build the same block (no notes, no files to carry), loading
// it must give back the head that was read.
#include <span>

#include "format/block_writer.h"
#include "format/byte_source.h"
#include "support/fuzz_check.h"
#include "tool/config/config_loader.h"
#include "tool/inspect/inspect_report.h"
#include "tool/inspect/launcher_contents.h"
#include "tool/inspect/toml_export.h"

namespace kestro::fuzz {

namespace {

using namespace kestro::tool;

void inspect(std::span<const uint8_t> bytes, CodePage cp) {
    format::MemorySource source(bytes);
    LauncherContents contents;
    try {
        contents = readLauncher(source, "fuzz.exe", cp);
    } catch (const InspectError&) {
        return;
    }
    for (const auto& file : contents.files) FUZZ_CHECK(file.offset + file.size <= bytes.size());
    textReport(contents, cp, "fuzz.exe");
    jsonReport(contents, cp, "fuzz.exe").dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    ExportResult exported = exportConfiguration(contents, cp, std::nullopt);
    if (!exported.notes.empty() || exported.listsFiles) return;

    BuildPlan plan = loadConfiguration(exported.toml, "fuzz.toml");
    nameCaption(plan, "fuzz.exe");  // as the build does: a caption left out is the printed product's name
    FUZZ_CHECK(format::serializeHead(plan.head) == format::serializeHead(contents.head));
}

}  // namespace

}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kestro::tool::CodePage;
    kestro::fuzz::inspect({data, size}, CodePage::Windows1252);
    kestro::fuzz::inspect({data, size}, CodePage::Utf8);
    return 0;
}
