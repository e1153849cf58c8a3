#include <ostream>

#include "format/native_file.h"
#include "tool/commands/commands.h"
#include "tool/inspect/extract.h"
#include "tool/inspect/inspect_report.h"
#include "tool/inspect/launcher_contents.h"
#include "tool/inspect/toml_export.h"
#include "tool/package/authenticode_reader.h"

namespace kestro::tool {

void inspectLauncher(const InspectRequest& request, std::ostream& out, std::ostream& err) {
    LauncherContents contents = readLauncher(request.launcher, request.codePage);
    // Before printing, so that a printed configuration never names files that are not there.
    if (request.extractDir) extractFiles(request.launcher, contents, *request.extractDir);

    std::string file = format::pathText(request.launcher);
    packaging::SignatureInfo signature = packaging::readSignature(request.launcher);
    switch (request.format) {
    case InspectFormat::Text: {
        // Below the line that names the file and the block.
        std::string report = textReport(contents, request.codePage, file);
        size_t header = report.find('\n') + 1;
        out << report.insert(header, "signature: " + packaging::describeSignature(signature) + "\n");
        break;
    }
    case InspectFormat::Json: {
        nlohmann::json report = jsonReport(contents, request.codePage, file);
        nlohmann::json& s = report["signature"] = {{"signed", signature.present}};
        if (signature.signer) s["signer"] = *signature.signer;
        if (signature.issuer) s["issuer"] = *signature.issuer;
        if (!signature.problem.empty()) s["problem"] = signature.problem;
        out << report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        break;
    }
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
