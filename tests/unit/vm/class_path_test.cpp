#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "startup/launcher_state.h"
#include "support/fake_vm_system.h"
#include "support/trace_recorder.h"
#include "vm/class_path.h"

namespace kestro {
namespace {

using testing::fakeVm;

class ClassPath : public ::testing::Test {
protected:
    void SetUp() override { testing::resetFakeVm(); }

    // The option's list part; a failure is recorded in failure_.
    std::string build(const ClassPathDirectives& directives = {}) {
        std::string option = "-Djava.class.path=";
        failure_ = buildClassPath(directives, option, testing::fakeVmSystem());
        EXPECT_TRUE(option.starts_with("-Djava.class.path="));
        return option.substr(18);
    }
    static void setEntries(const std::string& entries) { configTables().strings[key::ClassPath] = entries; }

    std::optional<ClassPathFailure> failure_;
};

TEST_F(ClassPath, PartsComeInTheirFixedOrder) {
    const std::string temp = "C:\\Temp\\kst1.tmp_dir1";
    fakeVm().tempDir = temp;
    fakeVm().directories[temp] = {"b.jar", "a.zip", "a.jar", "notes.txt", "old.jarx", "c.jar_old", "d.zip.bak"};
    fakeVm().directories[temp + "\\user"] = {"u.zip", "U.JAR"};
    launcherState().launcherFlavour = 'v';
    configTables().strings[key::ApplicationDirectory] = ".";
    setEntries("A0lib\\app.jar");
    EXPECT_EQ(build({.prefix = "pre.jar", .suffix = "post.jar"}),
              "pre.jar;" + temp + "\\b.jar;" + temp + "\\a.jar;" + temp + "\\a.zip;" + temp + "\\user\\U.JAR;" + temp +
                  "\\user\\u.zip;C:\\App\\.velmora\\vlmruntime.jar;C:\\App\\lib\\app.jar;post.jar");

    // In the kestro flavour there is no runtime jar; without a temporary directory
    // nothing is searched for it: "\user" at the root of the current drive must not
    // bring in anyone's jars.
    launcherState().launcherFlavour = 'k';
    fakeVm().tempDir.clear();
    fakeVm().directories["\\user"] = {"planted.jar"};
    fakeVm().directories[""] = {"planted.jar"};
    EXPECT_EQ(build(), "C:\\App\\lib\\app.jar");

    // Its runtime library from the per-user cache comes where the velmora one would.
    fakeVm().runtimeLibrary = "C:\\Users\\u\\AppData\\Local\\Kestro\\runtime\\kestro-runtime-0123456789abcdef.jar";
    EXPECT_EQ(build({.prefix = "pre.jar"}), "pre.jar;" + fakeVm().runtimeLibrary + ";C:\\App\\lib\\app.jar");
    fakeVm().runtimeLibrary.clear();

    // However long, the class path is passed whole: a cut would lose entries or break one.
    std::vector<std::string>& names = fakeVm().directories["C:\\App\\lib"];
    for (int i = 0; i < 200; ++i) names.push_back(std::string(240, char('a' + i % 26)) + std::to_string(i) + ".jar");
    std::string whole;
    for (const std::string& name : names) whole += (whole.empty() ? "C:\\App\\lib\\" : ";C:\\App\\lib\\") + name;
    setEntries("S1lib");
    EXPECT_EQ(build(), whole);
}

// Each row: the configured entries, the directives of option lines, and the class path
// or the failure that names the missing entry with its variables expanded. No class path
// holds an empty element, which a VM would read as the current directory.
TEST_F(ClassPath, EntriesAndDirectives) {
    fakeVm().environment = {{"LIBS", "a.jar;D:\\b.jar"}, {"QUOTED", "\"C:\\My Libs\\x.jar\""},
                            {"LIST", "C:\\a.jar;C:\\b.jar;"}, {"EMPTY", ""}, {"QUOTES", "\"\""}, {"APPVER", "2"},
                            {"FOUND", "present.jar;;C:\\App\\empty\\"}};
    fakeVm().files["C:\\App\\present.jar"] = "";
    fakeVm().directories["C:\\App\\empty"] = {};
    fakeVm().directories["C:\\App\\lib"] = {"x.jar"};
    struct Case {
        std::string entries;
        ClassPathDirectives directives;
        std::string path;
        msg::MessageId message;
        std::string name;
    };
    const msg::MessageId none = 0, missing = msg::ClassPathEntryMissing, undefined = msg::VariableUndefined;
    for (const Case& c : std::initializer_list<Case>{
             // A replacement takes the place of the entries, which are then not even read.
             {"A0never.jar", {.replacement = "r1.jar;r2.jar", .suffix = "s.jar"}, "r1.jar;r2.jar;s.jar", none, ""},
             {"", {.replacement = "r.jar;", .suffix = ";s.jar;"}, "r.jar;s.jar", none, ""},
             {"", {.replacement = ";", .prefix = ";p.jar;;"}, "p.jar", none, ""},
             {"", {.replacement = ";;"}, "C:\\App\\app.exe", none, ""},  // no class path: nothing to load
             // Archives and directories are added whether or not they exist.
             {"A0.\\.velmora\\user.jar;S0.\\.velmora\\user;D0${LIBS};;A1present.jar", {},
              "C:\\App\\.\\.velmora\\user.jar;C:\\App\\a.jar;D:\\b.jar;C:\\App\\present.jar", none, ""},
             // Each path of an entry counts; a trailing backslash does not hide a directory.
             {"D1${FOUND};S1%KESTRO_EXEDIR%lib\\;D1empty\\", {},
              "C:\\App\\present.jar;C:\\App\\empty\\;C:\\App\\lib\\x.jar;C:\\App\\empty\\", none, ""},
             {"A1${LIBS}", {}, "", missing, "a.jar"},
             {"A1present.jar;D1${FOUND}z", {}, "", missing, "C:\\App\\empty\\z"},
             // Environment entries lose their quotes and keep one separator.
             {"E0QUOTED;E1LIST;E0UNSET;E0EMPTY", {}, "C:\\My Libs\\x.jar;C:\\a.jar;C:\\b.jar", none, ""},
             // A value of only the two quotes adds nothing; an empty directory is found.
             {"E0QUOTES;S1empty;S1empty", {}, "C:\\App\\app.exe", none, ""},
             {"S1empty;A1lib${APPVER}.jar", {}, "", missing, "lib2.jar"},
             {"S1missing", {}, "", missing, "missing"},
             {"E1UNSET_${APPVER}", {}, "", undefined, "UNSET_2"},
             {"E1EMPTY", {}, "", undefined, "EMPTY"},
             {"X1other", {}, "", missing, "other"},
         }) {
        setEntries(c.entries);
        testing::clearTrace();
        std::string path = build(c.directives);
        EXPECT_EQ(failure_ ? failure_->message : none, c.message) << c.entries;
        if (failure_) EXPECT_EQ(failure_->name, c.name) << c.entries;
        else EXPECT_EQ(path, c.path) << c.entries;
        const auto& lines = testing::tracedLines();
        bool read = std::find(lines.begin(), lines.end(), "classpath entry " + c.entries) != lines.end();
        EXPECT_EQ(read, !c.directives.replacement) << c.entries;
    }
}

}  // namespace
}  // namespace kestro
