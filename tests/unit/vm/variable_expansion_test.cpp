#include <gtest/gtest.h>

#include "common/text.h"
#include "support/trace_recorder.h"
#include "vm/variable_expansion.h"

namespace kestro {
namespace {

const ExpansionValues kValues{
    .launcherDirectory = "C:\\Apps\\Tool\\",
    .launcherTempDirectory = "C:\\Temp\\kst1A.tmp_dir1700000000",
    .runtimeHome = "",
    .systemTempDirectory = "C:\\Temp\\",
};

std::vector<std::string> expansionLines() {
    std::vector<std::string> lines;
    for (const auto& line : testing::tracedLines())
        if (line.rfind("expanding ", 0) == 0) lines.push_back(line);
    return lines;
}

// The fixed rows followed by the environment entries, as the launcher applies them.
std::string expand(std::string text, const std::vector<std::string>& environment = {},
                   const ExpansionValues& values = kValues) {
    testing::clearTrace();
    expandFixedVariables(text, values);
    for (const auto& entry : environment) expandEnvironmentEntry(text, entry);
    return text;
}

TEST(VariableExpansion, EveryFixedReferenceHasItsValue) {
    ExpansionValues values = kValues;
    values.runtimeHome = "c:\\jre\\bin\\..";
    const std::pair<const char*, std::string> cases[] = {
        {"%KESTRO_EXEDIR%", values.launcherDirectory},
        {"%VELMORA_EXEDIR%", values.launcherDirectory},
        {"%KESTRO_TEMPDIR%", values.launcherTempDirectory},
        {"%VELMORA_TEMPDIR%", values.launcherTempDirectory},
        {"%KESTRO_PATHLIST_SEPARATOR%", ";"},
        {"%VELMORA_PATHLIST_SEPARATOR%", ";"},
        {"%KESTRO_JVM_HOME%", values.runtimeHome},
        {"%VELMORA_JVM_HOME%", values.runtimeHome},
        {"${KESTRO_EXEDIR}", values.launcherDirectory},
        {"${VELMORA_EXEDIR}", values.launcherDirectory},
        {"${KESTRO_TEMPDIR}", values.launcherTempDirectory},
        {"${VELMORA_TEMPDIR}", values.launcherTempDirectory},
        {"${KESTRO_PATHLIST_SEPARATOR}", ";"},
        {"${VELMORA_PATHLIST_SEPARATOR}", ";"},
        {"${KESTRO_JVM_HOME}", values.runtimeHome},
        {"${VELMORA_JVM_HOME}", values.runtimeHome},
        {"${launcher:sys.launcherDirectory}", values.launcherDirectory},
        {"${launcher:sys.launcherTempDirectory}", values.launcherTempDirectory},
        {"${launcher:sys.pathlistSeparator}", ";"},
        {"${launcher:sys.jvmHome}", values.runtimeHome},
        {"${launcher:sys.tempDir}", values.systemTempDirectory},
    };
    for (const auto& [reference, value] : cases) {
        EXPECT_EQ(expand(std::string("<") + reference + ">", {}, values), "<" + value + ">") << reference;
        EXPECT_EQ(expansionLines(), std::vector<std::string>{"expanding " + std::string(reference) + " to " + value +
                                                             " in <" + value + ">."});
    }
}

TEST(VariableExpansion, DirectoryValuesAndTheirBackslashes) {
    // The launcher directory brings its backslash, the launcher temporary directory does not.
    EXPECT_EQ(expand("%KESTRO_EXEDIR%lib"), "C:\\Apps\\Tool\\lib");
    EXPECT_EQ(expand("${launcher:sys.launcherTempDirectory}\\user"), "C:\\Temp\\kst1A.tmp_dir1700000000\\user");
    EXPECT_EQ(expand("${launcher:sys.tempDir}x"), "C:\\Temp\\x");
}

TEST(VariableExpansion, RuntimeHomeIsEmptyBeforeTheRuntimeSearch) {
    EXPECT_EQ(expand("${launcher:sys.jvmHome}\\bin"), "\\bin");
    EXPECT_EQ(expansionLines(), std::vector<std::string>{"expanding ${launcher:sys.jvmHome} to  in \\bin."});
}

TEST(VariableExpansion, EachOccurrenceIsReplacedAndTraced) {
    EXPECT_EQ(expand("%KESTRO_EXEDIR%a;%KESTRO_EXEDIR%b"), "C:\\Apps\\Tool\\a;C:\\Apps\\Tool\\b");
    EXPECT_EQ(expansionLines(),
              (std::vector<std::string>{
                  "expanding %KESTRO_EXEDIR% to C:\\Apps\\Tool\\ in C:\\Apps\\Tool\\a;%KESTRO_EXEDIR%b.",
                  "expanding %KESTRO_EXEDIR% to C:\\Apps\\Tool\\ in C:\\Apps\\Tool\\a;C:\\Apps\\Tool\\b.",
              }));
}

TEST(VariableExpansion, BuiltInRowsRunBeforeTheEnvironment) {
    EXPECT_EQ(expand("${KESTRO_EXEDIR}", {"KESTRO_EXEDIR=D:\\elsewhere\\"}), "C:\\Apps\\Tool\\");
}

TEST(VariableExpansion, UnknownReferencesStayAsWritten) {
    const std::string text = "${NOPE}|%NOPE%|%HOME%|%KESTRO_EXEDIR|${KESTRO_EXEDIR|$KESTRO_EXEDIR|%kestro_exedir%";
    EXPECT_EQ(expand(text, {"HOME=C:\\Users\\me"}), text);
    EXPECT_TRUE(expansionLines().empty());
}

TEST(VariableExpansion, EnvironmentNameAsWrittenAndUpperCased) {
    const std::vector<std::string> environment = {"Path=C:\\bin"};
    EXPECT_EQ(expand("${Path}|${PATH}|${path}", environment), "C:\\bin|C:\\bin|${path}");
    // Only the ASCII letters a to z are upper-cased.
    const std::string lowerA = "\xe4", upperA = "\xc4";  // a-umlaut in code page 1252
    EXPECT_EQ(expand("${" + lowerA + "X}|${" + upperA + "X}", {lowerA + "x=v"}), "v|${" + upperA + "X}");
}

TEST(VariableExpansion, EnvironmentEntriesSplitAtTheirFirstEquals) {
    EXPECT_EQ(expand("${A}", {"A=x=y"}), "x=y");
    EXPECT_EQ(expand("${A}", {"A="}), "");
    EXPECT_EQ(expand("${A}", {"A"}), "${A}");
    // The system's per-drive directories have no name: "${}" is not theirs.
    EXPECT_EQ(expand("${}", {"=C:=C:\\work"}), "${}");
    EXPECT_TRUE(expansionLines().empty());
}

TEST(VariableExpansion, InsertedValuesAreSeenByLaterRowsOnly) {
    // A fixed value naming a later variable is expanded; naming an earlier one is not.
    ExpansionValues values = kValues;
    values.runtimeHome = "${launcher:sys.tempDir}|%KESTRO_EXEDIR%";
    EXPECT_EQ(expand("%KESTRO_JVM_HOME%", {}, values), "C:\\Temp\\|%KESTRO_EXEDIR%");
    // Environment entries act in the block's order.
    EXPECT_EQ(expand("${A}", {"B=b", "A=${B}${C}", "C=c"}), "${B}c");
    // A value holding its own reference is not searched again for it by the same pass;
    // the upper-cased pass of the same name sees it once more.
    EXPECT_EQ(expand("${x}", {"x=[${x}]"}), "[${x}]");
    EXPECT_EQ(expand("${X}", {"X=[${X}]"}), "[[${X}]]");
}

TEST(VariableExpansion, TextWithoutReferencesIsUnchangedAndNotTraced) {
    EXPECT_EQ(expand("-Xmx512m -Dapp.home=C:\\x", {"Path=C:\\bin"}), "-Xmx512m -Dapp.home=C:\\x");
    EXPECT_EQ(expand(""), "");
    EXPECT_TRUE(expansionLines().empty());
}

TEST(VariableExpansion, ResultIsCutToTheTextCapacity) {
    const std::string big(5000, 'x');
    std::string text = expand("${A}${A}${A}", {"A=" + big});
    EXPECT_EQ(text.size(), kTextCapacity - 1);
    EXPECT_EQ(text, (big + big).substr(0, kTextCapacity - 1));
    // The third reference was cut off with the second value's tail.
    EXPECT_EQ(expansionLines().size(), 2u);
}

}  // namespace
}  // namespace kestro
