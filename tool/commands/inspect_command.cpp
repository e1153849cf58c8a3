#include <ostream>

#include "format/native_file.h"
#include "tool/commands/commands.h"
#include "tool/inspect/extract.h"
#include "tool/inspect/inspect_report.h"
#include "tool/inspect/launcher_contents.h"
#include "tool/inspect/toml_export.h"

namespace kestro::tool {

void inspectLauncher(const InspectRequest& request, std::ostream& out, std::ostream& err) {
    LauncherContents contents = readLauncher(request.launcher, request.codePage);
    // Before printing, so that a printed configuration never names files that are not there.
    if (request.extractDir) extractFiles(request.launcher, contents, *request.extractDir);

    std::string file = format::pathText(request.launcher);
    switch (request.format) {
    case InspectFormat::Text: out << textReport(contents, request.codePage, file); break;
    case InspectFormat::Json:
        out << jsonReport(contents, request.codePage, file).dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
            << "\n";
        break;
    case InspectFormat::Toml: {
        ExportResult result = exportConfiguration(contents, request.codePage, request.extractDir);
        for (const auto& w : contents.warnings) err << "kestro: warning: " << w << "\n";
        for (const auto& note : result.notes) err << "kestro: note: " << note << "\n";
        if (!request.extractDir && result.listsFiles)
            err << "kestro: note: the included files were not extracted; with --extract DIR the printed sources "
                   "point at them\n";
        if (!request.extractDir && result.listsResources)
            err << "kestro: note: the resources were not extracted; with --extract DIR the printed files point at "
                   "them\n";
        out << result.toml;
        break;
    }
    }
}

}  // namespace kestro::tool
