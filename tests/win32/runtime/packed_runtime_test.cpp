// Unpacking of packed runtimes by the runtime's own unpack200 (a stand-in that copies
// the packed file and records its command line).
#include <algorithm>
#include <fstream>
#include <iterator>

#include "runtime/candidate_check.h"
#include "runtime/packed_runtime.h"
#include "support/win32_test.h"

namespace kestro::test {
namespace {

using layout::recordedRuns;

class PackedRuntime : public Win32Test {
protected:
    // Every packed jar but jfxrt.jar and plugin.jar, which this runtime never had.
    std::vector<std::string> present() const {
        std::vector<std::string> jars;
        for (const auto& jar : layout::restoredJarOrder())
            if (jar != "lib/jfxrt.jar" && jar != "lib/plugin.jar") jars.push_back(jar);
        return jars;
    }
};

TEST_F(PackedRuntime, EveryPresentJarIsRestoredInOrderEndingWithJsse) {
    fs::path home = layOut("jre", {.unpack200 = true, .packedJars = present()});
    std::string javaExe;
    ASSERT_TRUE(checkRuntimeDirectory(javaExe, text(home), "", "", false)) << trace_.text();

    std::string root = normalised(home);
    std::vector<std::string> expected;
    for (const auto& jar : present()) {
        std::string path = root + "\\" + text(fs::path(jar).make_preferred());
        expected.push_back("\"" + path + ".pack\" \"" + path + ".kst_part\"");
        std::ifstream jarFile(home / jar, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(jarFile), {}), "packed " + jar);
        EXPECT_FALSE(fs::exists(home / (jar + ".pack"))) << jar;
    }
    EXPECT_EQ(recordedRuns(home / "bin" / "unpack200.exe"), expected);

    int start = trace_.index("Unpacking JRE");
    ASSERT_GE(start, 0) << trace_.text();
    int at = trace_.index(root + "\\bin\\unpack200.exe", start);
    EXPECT_EQ(trace_.index(expected[0], at), at + 1);
    EXPECT_EQ(trace_.index("waiting for unpack200 to finish", at), at + 2);
    EXPECT_EQ(trace_.index("unpack done", at), at + 3);
    EXPECT_EQ(trace_.index("pack path doesn't exists", at), at + 4);  // jfxrt.jar
    EXPECT_EQ(std::ranges::count(trace_.lines(), "pack path doesn't exists"), 2);
    EXPECT_GT(trace_.index("Unpacking JRE done", start), trace_.index(expected.back(), start));
    EXPECT_LT(trace_.index("Unpacking JRE done"), trace_.index("file exists"));
}

TEST_F(PackedRuntime, NothingHappensWithJsseJarOrWithoutRtPack) {
    fs::path done = layOut("done", {.unpack200 = true, .jars = {"lib/jsse.jar"}, .packedJars = present()});
    fs::path noRt = layOut("nort", {.unpack200 = true, .packedJars = {"lib/jsse.jar"}});
    for (const fs::path& home : {done, noRt}) {
        unpackPackedRuntime(normalised(home));
        EXPECT_TRUE(recordedRuns(home / "bin" / "unpack200.exe").empty());
    }
    EXPECT_TRUE(fs::exists(done / "lib" / "rt.jar.pack"));
    EXPECT_TRUE(fs::exists(noRt / "lib" / "jsse.jar.pack"));
    EXPECT_FALSE(trace_.has("Unpacking JRE"));
}

TEST_F(PackedRuntime, RuntimeRefusedForItsVersionIsUnpackedAllTheSame) {
    fs::path home = layOut("old", {.version = "1.5.0_22", .unpack200 = true, .packedJars = present()});
    std::string javaExe;
    EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(home), "1.6", "", false));
    EXPECT_TRUE(fs::exists(home / "lib" / "jsse.jar"));
    EXPECT_EQ(recordedRuns(home / "bin" / "unpack200.exe").size(), present().size());
}

// A jar that unpack200 did not make keeps its packed file, and the unpacking stops
// there: jsse.jar, the mark of a finished one, is not made, so that a later start tries
// again instead of taking a runtime without charsets.jar for done.
TEST_F(PackedRuntime, AFailedJarKeepsItsPackAndTheRuntimeUnfinished) {
    fs::path home = layOut("jre", {.unpack200 = true, .packedJars = present()});
    layout::failUnpackOf(home, "charsets.jar.kst_part");
    unpackPackedRuntime(normalised(home));
    EXPECT_TRUE(fs::exists(home / "lib" / "charsets.jar.pack"));
    EXPECT_FALSE(fs::exists(home / "lib" / "charsets.jar"));
    EXPECT_FALSE(fs::exists(home / "lib" / "charsets.jar.kst_part"));
    EXPECT_TRUE(trace_.has("unpacked jar missing, keeping " + normalised(home) + "\\lib\\charsets.jar.pack"));
    EXPECT_TRUE(fs::exists(home / "lib" / "rt.jar"));
    EXPECT_FALSE(fs::exists(home / "lib" / "rt.jar.pack"));
    EXPECT_FALSE(fs::exists(home / "lib" / "jsse.jar"));
    EXPECT_TRUE(fs::exists(home / "lib" / "jsse.jar.pack"));
}

}  // namespace
}  // namespace kestro::test
