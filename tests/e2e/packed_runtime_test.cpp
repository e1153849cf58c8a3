// Unpacking a packed runtime in a process of its own (the runtime_check driver), for what
// ends or leaves the process: the fatal report, the exit code, standard output.
#include <cctype>

#include "harness.h"
#include "support/runtime_layout.h"

namespace kestro::e2e {
namespace {

class PackedRuntimeProcess : public LauncherTest {
protected:
    fs::path layOut(const layout::RuntimeLayout& runtime) {
        fs::path home = dir_ / "jre";
        layout::layOutRuntime(home, runtime, fixture("java.exe").parent_path());
        return home;
    }
    RunResult check(const fs::path& home, const std::string& form) {
        return run(fixture("runtime_check.exe"),
                   {.arguments = "\"1009=An internal error occurred (error code: {0})\" " + form + " \"" +
                                 windowsPath(home) + "\""});
    }
};

TEST_F(PackedRuntimeProcess, MissingUnpack200EndsWithInternalError20) {
    fs::path home = layOut({.packedJars = layout::restoredJarOrder()});
    RunResult r = check(home, "full");
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_TRUE(r.traceFile);
    EXPECT_EQ(r.err, "An internal error occurred (error code: 20)\n\nLog: " + windowsPath(*r.traceFile) + "\n");
    EXPECT_EQ(r.out, "Preparing JRE ...\r\n");  // standard output is in text mode
    int failed = r.traceIndex("could not create unpack process");
    EXPECT_GT(failed, r.traceIndex("Unpacking JRE")) << r.trace;
    EXPECT_FALSE(r.traced("Unpacking JRE done"));
    EXPECT_TRUE(fs::exists(home / "lib" / "rt.jar.pack"));
}

TEST_F(PackedRuntimeProcess, UnpackingAnnouncesItselfOnStandardOutput) {
    fs::path home = layOut({.unpack200 = true, .packedJars = layout::restoredJarOrder()});
    RunResult r = check(home, "lenient");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string javaExe = windowsPath(home) + "\\bin\\java.exe";
    for (char& c : javaExe) c = char(std::tolower(static_cast<unsigned char>(c)));  // normalised
    EXPECT_EQ(r.out, "Preparing JRE ...\r\n1 " + javaExe + "\r\n");
    EXPECT_TRUE(r.traced("Unpacking JRE done"));
    for (const auto& jar : layout::restoredJarOrder()) EXPECT_TRUE(fs::exists(home / jar)) << jar;
}

}  // namespace
}  // namespace kestro::e2e
