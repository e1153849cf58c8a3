// The TOML library's implementation, compiled once for the tool (every other file reads
// its declarations only). Its assertions are checked in every build and throw.
#include "tool/toml/toml_library.h"

#define TOML_IMPLEMENTATION
#include <toml++/impl/preprocessor.h>
// The library's header defines these once; it does not read them again.
#undef TOML_ASSERT
#undef TOML_ASSERT_ASSUME
#define TOML_ASSERT(expr) ((expr) ? void() : ::kestro::tool::tomlCheckFailed(#expr))
#define TOML_ASSERT_ASSUME(expr) TOML_ASSERT(expr)
#include <toml++/toml.h>

namespace kestro::tool {

void tomlCheckFailed(const char* check) { throw TomlReaderFault(check); }

}  // namespace kestro::tool
