// The TOML library's implementation, compiled once for the fuzz build (the other files
// include its declarations only).
#define TOML_IMPLEMENTATION
#include <toml++/toml.h>
