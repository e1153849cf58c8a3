// How the trace file is named: the C runtime's _tempnam rule with directory "c:\" and
// prefix "vlm_nlog_".
#pragma once

#include <optional>
#include <string>

#include "common/function_ref.h"

namespace kestro {

// The first free name: the directory is TMP when it names an existing path, else "c:\",
// else "\", else "."; then "vlm_nlog_" and the first number from 2 on that no existing
// file has. None when every number is taken.
std::optional<std::string> traceFileName(const std::optional<std::string>& tmp,
                                         FunctionRef<bool(const std::string&)> exists);

}  // namespace kestro
