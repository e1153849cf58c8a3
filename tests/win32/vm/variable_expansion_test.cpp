// Expansion with the launcher's own values, taken at each call (run under Wine).
#include <gtest/gtest.h>

#include "runtime/runtime_home.h"
#include "vm/variable_expansion.h"
#include "workfiles/paths.h"
#include "workfiles/temp_dir.h"

namespace kestro {
namespace {

std::string expanded(std::string text) {
    expandVariables(text);
    return text;
}

TEST(VariableExpansion, ValuesAreTakenAtEachCall) {
    tempDirPath().clear();
    runtimeHome().clear();
    const std::string text = "${launcher:sys.launcherTempDirectory}|%KESTRO_JVM_HOME%";
    EXPECT_EQ(expanded(text), "|");
    tempDirPath() = "C:\\Temp\\kst1.tmp_dir1";
    runtimeHome() = "c:\\jre\\bin\\..";
    EXPECT_EQ(expanded(text), "C:\\Temp\\kst1.tmp_dir1|c:\\jre\\bin\\..");
    tempDirPath().clear();
    runtimeHome().clear();

    EXPECT_EQ(expanded("%KESTRO_EXEDIR%lib"), moduleDirectory() + "lib");
    EXPECT_EQ(expanded("${launcher:sys.tempDir}"), findTempRoot());
}

}  // namespace
}  // namespace kestro
