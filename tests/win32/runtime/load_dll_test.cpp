// Loading the VM library, seen from inside the process: the entry point kept and the
// runtime's home recorded.
#include "runtime/load_dll.h"
#include "runtime/runtime_home.h"
#include "support/win32_test.h"

namespace kestro::test {
namespace {

using LoadDll = Win32Test;

TEST_F(LoadDll, JdkLoadsItsEmbeddedVmWhileTheHomeFollowsItsOwnJava) {
    fs::path jdk = layOut("jdk", {.vmLibraries = {"jre/bin/client/jvm.dll"}});
    setKey(128, "R" + text(jdk));
    ASSERT_TRUE(LoadDLL()) << trace_.text();
    EXPECT_NE(createJavaVmEntry(), nullptr);
    EXPECT_EQ(runtimeHome(), normalised(jdk) + "\\bin\\..");
    EXPECT_TRUE(trace_.has("Trying " + normalised(jdk / "bin") + "\\..\\jre\\bin\\client\\jvm.dll (exists 1)"))
        << trace_.text();
    runtimeHome().clear();
}

}  // namespace
}  // namespace kestro::test
