// Loading the VM library, seen from inside the process: the entry point kept and the
// runtime's home recorded.
#include "runtime/load_dll.h"
#include "runtime/runtime_home.h"
#include "support/runtime_test.h"

namespace kestro::test {
namespace {

class LoadDll : public RuntimeTest {
protected:
    void TearDown() override {
        runtimeHome().clear();
        RuntimeTest::TearDown();
    }
};

TEST_F(LoadDll, JdkLoadsItsEmbeddedVmWhileTheHomeFollowsItsOwnJava) {
    fs::path jdk = layOut("jdk", {.vmLibraries = {"jre/bin/client/jvm.dll"}});
    setKey(128, "R" + text(jdk));
    ASSERT_TRUE(LoadDLL()) << trace_.text();
    EXPECT_NE(createJavaVmEntry(), nullptr);
    EXPECT_EQ(runtimeHome(), normalised(jdk) + "\\bin\\..");
    EXPECT_TRUE(trace_.has("Trying " + normalised(jdk / "bin") + "\\..\\jre\\bin\\client\\jvm.dll (exists 1)"))
        << trace_.text();
}

TEST_F(LoadDll, HomeIsSetEvenWhenTheLibraryIsMissing) {
    fs::path jre = layOut("jre", {});
    setKey(128, "R" + text(jre));
    EXPECT_FALSE(LoadDLL());  // the report is a message box, which returns at once without a display
    EXPECT_EQ(runtimeHome(), normalised(jre) + "\\bin\\..");
    EXPECT_TRUE(trace_.has("ERROR: Could not get DLL-Handle.")) << trace_.text();
}

}  // namespace
}  // namespace kestro::test
