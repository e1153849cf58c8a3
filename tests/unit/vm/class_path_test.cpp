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
        std::string option;
        failure_ = buildClassPath(directives, option, testing::fakeVmSystem());
        EXPECT_TRUE(option.starts_with("-Djava.class.path="));
        return option.substr(18);
    }
    void setEntries(const std::string& entries) { configTables().strings[key::ClassPath] = entries; }
    bool traced(const std::string& line) {
        const auto& lines = testing::tracedLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::optional<ClassPathFailure> failure_;
};

TEST_F(ClassPath, PartsComeInTheirFixedOrder) {
    const std::string temp = "C:\\Temp\\kst1.tmp_dir1";
    fakeVm().tempDir = temp;
    fakeVm().directories[temp] = {"b.jar", "a.zip", "a.jar", "notes.txt"};
    fakeVm().directories[temp + "\\user"] = {"u.zip", "u.jar"};
    launcherState().launcherFlavour = 'v';
    configTables().strings[key::ApplicationDirectory] = ".";
    setEntries("A0lib\\app.jar");
    EXPECT_EQ(build({.prefix = "pre.jar", .suffix = "post.jar"}),
              "pre.jar;" + temp + "\\b.jar;" + temp + "\\a.jar;" + temp + "\\a.zip;" + temp + "\\user\\u.jar;" + temp +
                  "\\user\\u.zip;C:\\App\\.velmora\\vlmruntime.jar;C:\\App\\lib\\app.jar;post.jar");

    // In the kestro flavour there is no runtime jar.
    launcherState().launcherFlavour = 'k';
    fakeVm().tempDir.clear();
    EXPECT_EQ(build(), "C:\\App\\lib\\app.jar;");
}

TEST_F(ClassPath, WithoutATemporaryDirectoryNothingIsSearchedForIt) {
    // "\user" at the root of the current drive must not bring in anyone's jars.
    fakeVm().directories["\\user"] = {"planted.jar"};
    fakeVm().directories[""] = {"planted.jar"};
    EXPECT_EQ(build(), "");
    EXPECT_TRUE(fakeVm().listedPatterns.empty());
}

TEST_F(ClassPath, DirectivesJoinWithOneSeparator) {
    setEntries("A0never.jar");
    EXPECT_EQ(build({.replacement = "r1.jar;r2.jar", .suffix = "s.jar"}), "r1.jar;r2.jar;s.jar");
    // The replacement takes the place of key 121, which is then not even read.
    EXPECT_FALSE(traced("classpath entry A0never.jar"));
    EXPECT_EQ(build({.replacement = "r.jar;", .suffix = "s.jar"}), "r.jar;s.jar");
    EXPECT_EQ(build({.replacement = "", .prefix = "p.jar;"}), "p.jar;;");
}

TEST_F(ClassPath, ArchivesAndDirectoriesAreAddedWhetherOrNotTheyExist) {
    fakeVm().environment["LIBS"] = "a.jar;D:\\b.jar";
    setEntries("A0.\\.velmora\\user.jar;S0.\\.velmora\\user;D0${LIBS};;A1present.jar");
    fakeVm().files["C:\\App\\present.jar"] = "";
    EXPECT_EQ(build(), "C:\\App\\.\\.velmora\\user.jar;C:\\App\\a.jar;D:\\b.jar;C:\\App\\present.jar;");
    EXPECT_TRUE(traced("classpath entry A0.\\.velmora\\user.jar;S0.\\.velmora\\user;D0${LIBS};;A1present.jar"));
    EXPECT_FALSE(failure_);
}

TEST_F(ClassPath, EnvironmentEntriesLoseTheirQuotesAndKeepOneSeparator) {
    fakeVm().environment["QUOTED"] = "\"C:\\My Libs\\x.jar\"";
    fakeVm().environment["LIST"] = "C:\\a.jar;C:\\b.jar;";
    fakeVm().environment["EMPTY"] = "";
    setEntries("E0QUOTED;E1LIST;E0UNSET;E0EMPTY");
    EXPECT_EQ(build(), "C:\\My Libs\\x.jar;C:\\a.jar;C:\\b.jar;");
    EXPECT_FALSE(failure_);
}

TEST_F(ClassPath, MissingMandatoryEntriesNameTheExpandedName) {
    fakeVm().environment["APPVER"] = "2";
    fakeVm().environment["EMPTY"] = "";
    fakeVm().directories["C:\\App\\empty"] = {};
    struct Case {
        std::string entries;
        msg::MessageId message;
        std::string name;
    };
    const Case cases[] = {
        {"S1empty;A1lib${APPVER}.jar", msg::ClassPathEntryMissing, "lib2.jar"},
        {"S1missing", msg::ClassPathEntryMissing, "missing"},
        {"E1UNSET_${APPVER}", msg::VariableUndefined, "UNSET_2"},
        {"E1EMPTY", msg::VariableUndefined, "EMPTY"},
        {"X1other", msg::ClassPathEntryMissing, "other"},
    };
    for (const Case& c : cases) {
        setEntries(c.entries);
        build();
        ASSERT_TRUE(failure_) << c.entries;
        EXPECT_EQ(failure_->message, c.message) << c.entries;
        EXPECT_EQ(failure_->name, c.name) << c.entries;
    }
    setEntries("S1empty;S1empty");  // an empty directory is found
    build();
    EXPECT_FALSE(failure_);
}

TEST_F(ClassPath, ALongClassPathIsCutWhereItsBufferEnds) {
    const std::string longest(kClassPathCapacity - 1 - 18, 'x');
    EXPECT_EQ(build({.replacement = longest}), longest);
    EXPECT_EQ(testing::tracedLines().size(), 0u);
    EXPECT_EQ(build({.replacement = longest, .suffix = "more.jar"}), longest);
    EXPECT_TRUE(traced("ERROR: class path of 40968 bytes cut to 40959 bytes"));
}

}  // namespace
}  // namespace kestro
