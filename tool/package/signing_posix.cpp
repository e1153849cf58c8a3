#include "tool/package/signing.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "format/native_file.h"
#include "tool/package/host_tools.h"
#include "tool/platform/host_process.h"

namespace kestro::tool::packaging {

namespace fs = std::filesystem;

namespace {

// The password in a file that only this user can read, removed when it goes out of scope:
// osslsigncode reads it from there, so that it never stands on a command line.
class PasswordFile {
public:
    explicit PasswordFile(const std::string& password) {
        std::string pattern = (fs::temp_directory_path() / "kestro-sign-XXXXXX").string();
        int fd = mkstemp(pattern.data());  // created 0600
        if (fd < 0) throw std::runtime_error("cannot create a private file for the certificate's password");
        path_ = pattern;
        bool written = ::write(fd, password.data(), password.size()) == ssize_t(password.size());
        ::close(fd);
        if (!written) throw std::runtime_error("cannot write the certificate's password to a private file");
    }
    ~PasswordFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    PasswordFile(const PasswordFile&) = delete;
    PasswordFile& operator=(const PasswordFile&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

std::string signingPassword(const SigningSettings& signing) {
    const char* value = std::getenv(signing.passwordVariable.c_str());
    if (!value)
        throw std::runtime_error("signing: the environment variable " + signing.passwordVariable +
                                 " (signing.password_variable) is not set; it holds the certificate's password");
    return value;
}

void signFile(const fs::path& file, const SigningSettings& signing) {
    run::HostQueries host{environmentVariable, isProgram};
    fs::path program = findHostTool("osslsigncode", "osslsigncode", "signing", host);
    PasswordFile password(signingPassword(signing));
    fs::path signedCopy = file;
    signedCopy += ".signed";
    CapturedRun result = captureProgram(
        program, osslsigncodeArguments(signing, password.path(), signedDescription(file), file, signedCopy), {});
    std::error_code ec;
    if (result.exitCode != 0 || !fs::is_regular_file(signedCopy, ec)) {
        fs::remove(signedCopy, ec);
        throw std::runtime_error("osslsigncode could not sign " + format::pathText(file) + ":\n" + result.output);
    }
    fs::rename(signedCopy, file, ec);
    if (ec) {
        fs::remove(signedCopy, ec);
        throw std::runtime_error("cannot replace " + format::pathText(file) + " by its signed copy: " + ec.message());
    }
}

}  // namespace kestro::tool::packaging
