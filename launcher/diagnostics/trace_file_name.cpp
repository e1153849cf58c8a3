#include "diagnostics/trace_file_name.h"

#include <cstdint>

#include "common/text.h"

namespace kestro {

std::optional<std::string> traceFileName(const std::optional<std::string>& tmp,
                                         FunctionRef<bool(const std::string&)> exists) {
    std::string directory = ".";
    if (tmp && !tmp->empty() && exists(*tmp)) directory = *tmp;
    else if (exists("c:\\")) directory = "c:\\";
    else if (exists("\\")) directory = "\\";
    char last = directory.back();
    if (last != '\\' && last != '/') directory += '\\';

    // The runtime's counter starts at 1 and is advanced before each try.
    for (int64_t n = 2; n <= INT32_MAX; ++n) {
        std::string name = directory + "vlm_nlog_" + decimal(n);
        if (!exists(name)) return name;
    }
    return std::nullopt;
}

}  // namespace kestro
