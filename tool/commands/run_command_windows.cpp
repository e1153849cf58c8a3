#include <stdexcept>

#include "tool/commands/commands.h"

namespace kestro::tool {

int runLauncher(const RunRequest&, std::ostream&) {
    throw std::runtime_error(
        "'kestro run' runs a launcher under Wine and exists only in the Linux tool; on Windows, start the launcher "
        "itself");
}

}  // namespace kestro::tool
