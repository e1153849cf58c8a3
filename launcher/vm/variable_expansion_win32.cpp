#include <windows.h>

#include <cstring>

#include "common/unique.h"
#include "runtime/runtime_home.h"
#include "vm/variable_expansion.h"
#include "workfiles/paths.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

struct EnvironmentBlockTraits {
    using Handle = char*;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { FreeEnvironmentStringsA(h); }
};

}  // namespace

void expandVariables(std::string& text) {
    // Taken anew each time: a text expanded before the runtime search or before the
    // temporary directory exists sees those values empty.
    ExpansionValues values{moduleDirectory(), tempDirPath(), runtimeHome(), findTempRoot()};
    expandFixedVariables(text, values);

    Unique<EnvironmentBlockTraits> block(GetEnvironmentStringsA());
    if (!block) return;
    for (const char* entry = block.get(); *entry; entry += std::strlen(entry) + 1) expandEnvironmentEntry(text, entry);
}

}  // namespace kestro
