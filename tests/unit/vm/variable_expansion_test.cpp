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
        if (line.starts_with("expanding ")) lines.push_back(line);
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
    const std::string exe = values.launcherDirectory, temp = values.launcherTempDirectory, home = values.runtimeHome;
    const std::pair<const char*, std::string> cases[] = {
        {"%KESTRO_EXEDIR%", exe}, {"%VELMORA_EXEDIR%", exe}, {"%KESTRO_TEMPDIR%", temp}, {"%VELMORA_TEMPDIR%", temp},
        {"%KESTRO_PATHLIST_SEPARATOR%", ";"}, {"%VELMORA_PATHLIST_SEPARATOR%", ";"},
        {"%KESTRO_JVM_HOME%", home}, {"%VELMORA_JVM_HOME%", home},
        {"${KESTRO_EXEDIR}", exe}, {"${VELMORA_EXEDIR}", exe},
        {"${KESTRO_TEMPDIR}", temp}, {"${VELMORA_TEMPDIR}", temp},
        {"${KESTRO_PATHLIST_SEPARATOR}", ";"}, {"${VELMORA_PATHLIST_SEPARATOR}", ";"},
        {"${KESTRO_JVM_HOME}", home}, {"${VELMORA_JVM_HOME}", home},
        {"${launcher:sys.launcherDirectory}", exe}, {"${launcher:sys.launcherTempDirectory}", temp},
        {"${launcher:sys.pathlistSeparator}", ";"}, {"${launcher:sys.jvmHome}", home},
        {"${launcher:sys.tempDir}", values.systemTempDirectory},
    };
    for (const auto& [reference, value] : cases) {
        EXPECT_EQ(expand(std::string("<") + reference + ">", {}, values), "<" + value + ">") << reference;
        EXPECT_EQ(expansionLines(), std::vector<std::string>{"expanding " + std::string(reference) + " to " + value +
                                                             " in <" + value + ">."});
    }
}

// Each row: the text, the environment in block order, the result and how many
// replacements were traced.
TEST(VariableExpansion, Rules) {
    struct Case { std::string text; std::vector<std::string> environment; std::string result; size_t traced; };
    const std::string lowerA = "\xe4", upperA = "\xc4";  // a-umlaut in code page 1252
    const std::string unknown = "${NOPE}|%NOPE%|%HOME%|%KESTRO_EXEDIR|${KESTRO_EXEDIR|$KESTRO_EXEDIR|%kestro_exedir%";
    for (const Case& c : std::initializer_list<Case>{
             // The launcher directory brings its backslash, the launcher temporary directory does not.
             {"%KESTRO_EXEDIR%lib", {}, "C:\\Apps\\Tool\\lib", 1},
             {"${launcher:sys.launcherTempDirectory}\\user", {}, "C:\\Temp\\kst1A.tmp_dir1700000000\\user", 1},
             {"${launcher:sys.tempDir}x", {}, "C:\\Temp\\x", 1},
             {"${launcher:sys.jvmHome}\\bin", {}, "\\bin", 1},  // empty before the runtime search
             {"%KESTRO_EXEDIR%a;%KESTRO_EXEDIR%b", {}, "C:\\Apps\\Tool\\a;C:\\Apps\\Tool\\b", 2},
             {"${KESTRO_EXEDIR}", {"KESTRO_EXEDIR=D:\\elsewhere\\"}, "C:\\Apps\\Tool\\", 1},  // built-in rows first
             {unknown, {"HOME=C:\\Users\\me"}, unknown, 0},
             {"-Xmx512m -Dapp.home=C:\\x", {"Path=C:\\bin"}, "-Xmx512m -Dapp.home=C:\\x", 0}, {"", {}, "", 0},
             // Environment names as written and upper-cased, only the ASCII letters a to z.
             {"${Path}|${PATH}|${path}", {"Path=C:\\bin"}, "C:\\bin|C:\\bin|${path}", 2},
             {"${" + lowerA + "X}|${" + upperA + "X}", {lowerA + "x=v"}, "v|${" + upperA + "X}", 1},
             // Entries split at their first "="; the system's per-drive directories have no name.
             {"${A}", {"A=x=y"}, "x=y", 1}, {"${A}", {"A="}, "", 1}, {"${A}", {"A"}, "${A}", 0},
             {"${}", {"=C:=C:\\work"}, "${}", 0},
             // Inserted values are seen by later rows only, in the block's order; a value holding its
             // own reference is not searched again by the same pass, the upper-cased pass sees it once.
             {"${A}", {"B=b", "A=${B}${C}", "C=c"}, "${B}c", 2},
             {"${x}", {"x=[${x}]"}, "[${x}]", 1}, {"${X}", {"X=[${X}]"}, "[[${X}]]", 2},
         }) {
        EXPECT_EQ(expand(c.text, c.environment), c.result) << c.text;
        EXPECT_EQ(expansionLines().size(), c.traced) << c.text;
    }
    // Every occurrence is traced with the text as it then is.
    expand("%KESTRO_EXEDIR%a;%KESTRO_EXEDIR%b");
    EXPECT_EQ(expansionLines().at(0),
              "expanding %KESTRO_EXEDIR% to C:\\Apps\\Tool\\ in C:\\Apps\\Tool\\a;%KESTRO_EXEDIR%b.");
    // A fixed value naming a later variable is expanded; naming an earlier one is not.
    ExpansionValues values = kValues;
    values.runtimeHome = "${launcher:sys.tempDir}|%KESTRO_EXEDIR%";
    EXPECT_EQ(expand("%KESTRO_JVM_HOME%", {}, values), "C:\\Temp\\|%KESTRO_EXEDIR%");
}

TEST(VariableExpansion, ResultIsCutToTheTextCapacity) {
    const std::string big(5000, 'x');
    EXPECT_EQ(expand("${A}${A}${A}", {"A=" + big}), (big + big).substr(0, kTextCapacity - 1));
    // The third reference was cut off with the second value's tail.
    EXPECT_EQ(expansionLines().size(), 2u);
}

}  // namespace
}  // namespace kestro
