// Signing what the tool writes, a launcher or a package, with the certificate of
// [signing]: osslsigncode on Linux, signtool on Windows.
#pragma once

#include <filesystem>

#include "tool/package/package_settings.h"

namespace kestro::tool::packaging {

// Signs `file` in place. The certificate's password comes from the environment variable
// that the settings name. Throws std::runtime_error with the signing program's own words
// when it fails; `file` is then left as it was.
void signFile(const std::filesystem::path& file, const SigningSettings& signing);

// The password, from the variable the settings name. Throws when the variable is unset.
std::string signingPassword(const SigningSettings& signing);

}  // namespace kestro::tool::packaging
