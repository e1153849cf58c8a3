// The programs `kestro package` and signing run, and their command lines. Portable:
// what runs them is msi_build_*.cpp and signing_*.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tool/package/package_settings.h"
#include "tool/run/run_plan.h"

namespace kestro::tool::packaging {

// The first `program` on PATH. Throws std::runtime_error naming the Debian package that
// brings it and what it is needed for.
std::filesystem::path findHostTool(const std::string& program, const std::string& debianPackage,
                                   const std::string& neededFor, const run::HostQueries& host);

// wixl's command line for a 64-bit package.
std::vector<std::string> wixlArguments(const std::filesystem::path& wxs, const std::filesystem::path& msi);

// osslsigncode's: the password is read from `passwordFile`, never given on the command
// line, where every user of the machine could read it; RFC 3161 time stamps.
std::vector<std::string> osslsigncodeArguments(const SigningSettings& signing, const std::filesystem::path& passwordFile,
                                               const std::string& description, const std::filesystem::path& in,
                                               const std::filesystem::path& out);

// signtool's (Windows), which takes a PKCS#12 file's password only on its command line.
std::vector<std::string> signtoolArguments(const SigningSettings& signing, const std::string& password,
                                           const std::string& description, const std::filesystem::path& file);

// Windows Installer's name for what Explorer and the signature show: the file's name.
std::string signedDescription(const std::filesystem::path& file);

}  // namespace kestro::tool::packaging
