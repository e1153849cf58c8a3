// Describing a launcher's configuration for people (text) and for programs (JSON).
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "tool/inspect/launcher_contents.h"
#include "tool/text/code_page.h"

namespace kestro::tool {

std::string textReport(const LauncherContents& contents, CodePage cp, const std::string& file);
nlohmann::json jsonReport(const LauncherContents& contents, CodePage cp, const std::string& file);

}  // namespace kestro::tool
