// Writes a launcher carrying every file below a payload directory as an included file
// (one directory level, as the launcher extracts them). Host helper of the benchmark.
//
// Usage: make_launcher STUB OUT [PAYLOAD_DIR]
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "format/block_writer.h"
#include "format/config_keys.h"

namespace fs = std::filesystem;
using namespace kestro;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: make_launcher STUB OUT [PAYLOAD_DIR]\n";
        return 2;
    }
    std::vector<format::IncludedFile> files;
    if (argc > 3) {
        for (const auto& entry : fs::recursive_directory_iterator(argv[3]))
            if (entry.is_regular_file()) {
                std::string name = fs::relative(entry.path(), argv[3]).string();
                std::replace(name.begin(), name.end(), '/', '\\');
                files.push_back({name, entry.path()});
            }
        std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    }
    std::string names;
    for (const auto& f : files) names += (names.empty() ? "" : ";") + f.name;

    format::BlockHead head;
    head.strings.push_back({key::ApplicationType, "2"});  // reports to standard error
    head.strings.push_back({msg::InternalError, "An internal error occurred (error code: {0})"});
    head.strings.push_back({key::IncludedCount, std::to_string(files.size())});
    head.strings.push_back({key::IncludedNames, names});
    head.strings.push_back({key::SearchList, "Rjre"});  // the stand-in runtime beside it

    format::Stub stub;
    std::string error;
    if (!format::loadStub(argv[1], stub, error) || !format::writeLauncher(stub, head, files, argv[2], error)) {
        std::cerr << "make_launcher: " << error << "\n";
        return 1;
    }
    return 0;
}
