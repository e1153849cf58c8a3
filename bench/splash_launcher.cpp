// Writes a launcher that shows IMAGE as its splash through the runtime "jre" beside it.
// Host helper of the splash benchmark.
//
// Usage: splash_launcher STUB OUT IMAGE
#include <fstream>
#include <iostream>
#include <iterator>

#include "format/block_writer.h"
#include "format/config_keys.h"
#include "format/resource_section.h"

using namespace kestro;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: splash_launcher STUB OUT IMAGE\n";
        return 2;
    }
    std::ifstream in(argv[3], std::ios::binary);
    std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)), {});
    if (!in.good() && !in.eof()) {
        std::cerr << "splash_launcher: cannot read " << argv[3] << "\n";
        return 1;
    }

    format::BlockHead head;
    head.strings.push_back({key::ApplicationType, "2"});  // reports to standard error
    head.strings.push_back({key::SearchList, "Rjre"});    // the stand-in runtime beside it
    head.strings.push_back({key::SplashScreen, "1"});
    head.strings.push_back({key::RuntimeSplash, "1"});

    format::Stub stub;
    std::string error;
    if (!format::loadStub(argv[1], stub, error) ||
        !format::setResources(stub, {{format::kRtRcdata, 10000, 0, image}}, error) ||
        !format::writeLauncher(stub, head, {}, argv[2], error)) {
        std::cerr << "splash_launcher: " << error << "\n";
        return 1;
    }
    return 0;
}
