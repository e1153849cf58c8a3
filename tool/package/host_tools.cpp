#include "tool/package/host_tools.h"

#include <stdexcept>

#include "format/native_file.h"

namespace kestro::tool::packaging {

namespace fs = std::filesystem;

fs::path findHostTool(const std::string& program, const std::string& debianPackage, const std::string& neededFor,
                      const run::HostQueries& host) {
    std::string path = host.variable("PATH").value_or("");
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(':', start);
        std::string directory = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // An empty entry is the current directory, as the shell reads it.
        fs::path candidate = fs::path(directory.empty() ? "." : directory) / program;
        if (host.isProgram(candidate)) return candidate;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    throw std::runtime_error(neededFor + " needs " + program + ", which is not installed: install the Debian package " +
                             debianPackage + " (sudo apt-get install " + debianPackage + ")");
}

std::vector<std::string> wixlArguments(const fs::path& wxs, const fs::path& msi) {
    return {"--arch", "x64", "--output", format::pathText(msi), format::pathText(wxs)};
}

std::vector<std::string> osslsigncodeArguments(const SigningSettings& signing, const fs::path& passwordFile,
                                               const std::string& description, const fs::path& in, const fs::path& out) {
    std::vector<std::string> args{"sign", "-pkcs12", format::pathText(signing.certificate), "-readpass",
                                  format::pathText(passwordFile), "-h", "sha256", "-n", description};
    if (signing.timestampUrl) args.insert(args.end(), {"-ts", *signing.timestampUrl});
    args.insert(args.end(), {"-in", format::pathText(in), "-out", format::pathText(out)});
    return args;
}

std::vector<std::string> signtoolArguments(const SigningSettings& signing, const std::string& password,
                                           const std::string& description, const fs::path& file) {
    std::vector<std::string> args{"sign", "/f", format::pathText(signing.certificate), "/p", password, "/fd", "sha256",
                                  "/d", description};
    if (signing.timestampUrl) args.insert(args.end(), {"/tr", *signing.timestampUrl, "/td", "sha256"});
    args.push_back(format::pathText(file));
    return args;
}

std::string signedDescription(const fs::path& file) { return format::pathText(file.stem()); }

}  // namespace kestro::tool::packaging
