// A launcher's resource section as programs that are not ours read it: the system's
// resource functions, wrestool, and a code signature over the whole file; and the
// launcher behind it still finds its block and starts the VM.
#include "harness.h"

#include <cstdio>

namespace kestro::e2e {
namespace {

const std::string kMain = "com/kestro/runtime/WinLauncher main ([Ljava/lang/String;)V";

std::vector<uint8_t> pattern(size_t n, unsigned seed) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t((i * 2654435761u + seed) >> 13);
    return bytes;
}

// What resource_reader prints for these bytes (Wine's console ends its lines with CR LF).
std::string readerLine(const std::vector<uint8_t>& bytes) {
    uint32_t hash = 2166136261u;
    for (uint8_t b : bytes) hash = (hash ^ b) * 16777619u;
    char text[32];
    std::snprintf(text, sizeof text, "%08x", hash);
    return "size " + std::to_string(bytes.size()) + " fnv " + text + "\r\n";
}

class ResourceRun : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        set(key::WorkingDirectory, ".");
        resources_ = {{format::kRtRcdata, 10000, 0, pattern(70001, 1)},
                      {format::kRtRcdata, 7, 1033, pattern(3, 2)},
                      {format::kRtManifest, 1, 0, pattern(500, 3)}};
    }

    RunResult readResource(const fs::path& exe, int type, int id) {
        fs::path reader = fixturesDir() / "resource_reader.exe";
        return runWindowsProgram(reader,
                                 {.commandLine = "\"" + windowsPath(reader) + "\" \"" + windowsPath(exe) + "\" " +
                                                 std::to_string(type) + " " + std::to_string(id)},
                                 dir_);
    }

    // Started, found its block (the working directory it names) and ran main in the VM.
    void expectStarts(const fs::path& exe) {
        RunResult r = run(exe);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(r.traced("change working directory to " + windowsPath(dir_))) << r.trace;
        EXPECT_TRUE(jvmTranscript(dir_ / "jre").has("CallStaticVoidMethod " + kMain));
    }
};

TEST_F(ResourceRun, TheSystemFindsEveryResourceAndTheLauncherStillStarts) {
    fs::path exe = buildLauncher();
    for (const auto& resource : resources_) {
        RunResult r = readResource(exe, resource.type, resource.id);
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_EQ(r.out, readerLine(resource.data)) << resource.type << "/" << resource.id;
    }
    EXPECT_EQ(readResource(exe, format::kRtRcdata, 10001).out.substr(0, 21), "FindResource failed: ");
    expectStarts(exe);
}

TEST_F(ResourceRun, WrestoolListsAndExtractsThemByteForByte) {
    fs::path exe = buildLauncher();
    std::string listed = capture("wrestool -l '" + exe.string() + "'");
    EXPECT_NE(listed.find("--type=10 --name=10000 --language=0 [type=rcdata offset="), std::string::npos) << listed;
    EXPECT_NE(listed.find("--type=10 --name=7 --language=1033 "), std::string::npos) << listed;
    EXPECT_NE(listed.find("--type=24 --name=1 --language=0 "), std::string::npos) << listed;
    for (const auto& resource : resources_) {
        fs::path out = dir_ / ("extracted-" + std::to_string(resource.id));
        ASSERT_EQ(std::system(("wrestool -x --raw -t " + std::to_string(resource.type) + " -n " +
                               std::to_string(resource.id) + " '" + exe.string() + "' > '" + out.string() + "'")
                                  .c_str()),
                  0);
        std::string bytes = readBytes(out);
        EXPECT_TRUE(bytes == std::string(resource.data.begin(), resource.data.end())) << resource.id;
    }
}

// Signing adds a certificate table behind the block; the signature covers the resource
// section and the block, and neither hides the other.
TEST_F(ResourceRun, ASignedLauncherVerifiesStartsAndShowsItsSplash) {
    layout::RuntimeLayout runtime = loadable();
    runtime.splashLibrary = "splashscreen.dll";
    fs::path home = layOut("splashing", runtime);
    set(key::SearchList, "Rsplashing");
    set(key::SplashScreen, "1");
    set(key::RuntimeSplash, "1");
    fs::path exe = buildLauncher("unsigned.exe");
    fs::path key = dir_ / "key.pem", cert = dir_ / "cert.pem", signedExe = dir_ / "signed.exe";
    std::string quiet = " >/dev/null 2>&1";
    ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=kestro-test -keyout " +
                           key.string() + " -out " + cert.string() + quiet).c_str()),
              0);
    ASSERT_EQ(std::system(("osslsigncode sign -certs " + cert.string() + " -key " + key.string() + " -in " +
                           exe.string() + " -out " + signedExe.string() + quiet).c_str()),
              0);
    std::string verified = capture("osslsigncode verify -CAfile " + cert.string() + " -in " + signedExe.string() +
                                   " 2>&1; echo exit $?");
    EXPECT_NE(verified.find("Signature verification: ok"), std::string::npos) << verified;
    EXPECT_NE(verified.find("exit 0"), std::string::npos) << verified;

    RunResult r = readResource(signedExe, format::kRtRcdata, 10000);
    EXPECT_EQ(r.out, readerLine(resources_[0].data)) << r.err;
    r = run(signedExe);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("change working directory to " + windowsPath(dir_))) << r.trace;
    EXPECT_TRUE(jvmTranscript(home).has("CallStaticVoidMethod " + kMain));
    std::vector<std::string> splash = splashTranscript(home).values("SplashLoadMemory size ");
    ASSERT_EQ(splash.size(), 1u) << splashTranscript(home).text();
    EXPECT_TRUE(splash[0].starts_with("70001 ")) << splash[0];
}

}  // namespace
}  // namespace kestro::e2e
