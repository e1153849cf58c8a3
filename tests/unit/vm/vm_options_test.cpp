#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "config/locale.h"
#include "support/fake_vm_system.h"
#include "support/trace_recorder.h"
#include "vm/vm_options.h"

namespace kestro {
namespace {

using testing::fakeVm;
using Options = std::vector<std::string>;

class VmOptions : public ::testing::Test {
protected:
    void SetUp() override { testing::resetFakeVm(); }

    // Gathers as the VM start does: key 123, "-J" and locale options, then the default
    // file beside the launcher.
    OptionCollector collect(const std::vector<Utf16>& arguments = {u"app.exe"}) {
        OptionCollector collector{testing::fakeVmSystem(), {}, {}, {}};
        collectVmOptions(arguments, collector);
        readVmOptionsFile(nullptr, openDefaultVmOptionsFile(collector.system), collector);
        return collector;
    }

    static int linesStartingWith(const std::string& prefix) {
        int n = 0;
        for (const auto& line : testing::tracedLines()) n += line.starts_with(prefix);
        return n;
    }
    static int errorLines() { return linesStartingWith("ERROR: "); }
};

TEST_F(VmOptions, LinesAreTrimmedAndCommentsSkipped) {
    fakeVm().files["C:\\App\\app.vmoptions"] =
        "-Xmx512m\n\n     \n   # note\n\t# tab\n  -Dspaced=a b  \r\n-Dhash=a#b\r\r\n-Dcr=x\r \n";
    EXPECT_EQ(collect().options, (Options{"-Xmx512m", "\t# tab", "-Dspaced=a b", "-Dhash=a#b", "-Dcr=x\r"}));
}

TEST_F(VmOptions, LongLinesAreReadInPiecesOf8191Bytes) {
    const std::string piece(8191, 'x');
    fakeVm().files["C:\\App\\app.vmoptions"] = piece + "tail\n" + piece + "\n-Dnext\n";
    EXPECT_EQ(collect().options, (Options{piece, "tail", piece, "-Dnext"}));
}

TEST_F(VmOptions, OnlyTheFirstDefaultFileIsRead) {
    fakeVm().modulePath = "C:\\APP~1\\UNINST~1.EXE";
    fakeVm().longPaths["C:\\APP~1\\UNINST~1.EXE"] = "C:\\App Dir\\uninstall.exe";
    fakeVm().files["C:\\App Dir\\uninstall.vmoptions"] = "-Dfirst";
    fakeVm().files["C:\\App Dir\\uninstall.exe.vmoptions"] = "-Dsecond";
    EXPECT_EQ(collect().options, Options{"-Dfirst"});

    fakeVm().files.erase("C:\\App Dir\\uninstall.vmoptions");
    fakeVm().openedFiles.clear();
    EXPECT_EQ(collect().options, Options{"-Dsecond"});
    EXPECT_EQ(fakeVm().openedFiles,
              (Options{"C:\\App Dir\\uninstall.vmoptions", "C:\\App Dir\\uninstall.exe.vmoptions"}));
}

TEST_F(VmOptions, IncludesAreReadInPlaceRelativeToTheIncludingFile) {
    fakeVm().files["C:\\App\\app.vmoptions"] =
        "-Da\n-include-options ${launcher:sys.launcherDirectory}conf\\common.vmoptions\n-Dz\n";
    fakeVm().files["C:\\App\\conf\\common.vmoptions"] = "-Db\n-include-options sub\\more.vmoptions\n-Dc\n";
    fakeVm().files["C:\\App\\conf\\sub\\more.vmoptions"] = "-Dmore\n-include-options missing.vmoptions\n";
    EXPECT_EQ(collect().options, (Options{"-Da", "-Db", "-Dmore", "-Dc", "-Dz"}));
    // The include line shows the resolved path, the text as written and the file; one
    // that does not open leaves that line only.
    const std::string sub = "adding vmoptions from <C:\\App\\conf\\sub\\";
    EXPECT_EQ(linesStartingWith(sub + "more.vmoptions> (sub\\more.vmoptions) ("), 1);
    EXPECT_EQ(linesStartingWith(sub + "missing.vmoptions> (missing.vmoptions) ("), 1);
}

TEST_F(VmOptions, ConfiguredOptionsJoinIncludesAndKeepDirectivesWhole) {
    configTables().strings[key::VmOptions] =
        "-Xmx256m -include-options extra.vmoptions -Dx=1 \"-classpath/p pre.jar\" -classpath x.jar -include-options";
    fakeVm().files["C:\\App\\extra.vmoptions"] = "-Dextra\n";
    OptionCollector collector = collect();
    EXPECT_EQ(collector.options,
              (Options{"-Xmx256m", "-Dextra", "-Dx=1", "-classpath", "x.jar", "-include-options"}));
    EXPECT_EQ(collector.directives.prefix, "pre.jar");
    EXPECT_FALSE(collector.directives.replacement);
}

TEST_F(VmOptions, DefaultFileDirectivesReplaceEarlierOnes) {
    configTables().strings[key::VmOptions] = "'-classpath/a key.jar' '-classpath other.jar'";
    fakeVm().files["C:\\App\\app.vmoptions"] = "-classpath/a file.jar\n-classpath/a last.jar\n";
    OptionCollector collector = collect();
    EXPECT_EQ(collector.directives.suffix, "last.jar");
    EXPECT_EQ(collector.directives.replacement, "other.jar");
    EXPECT_TRUE(collector.options.empty());
}

TEST_F(VmOptions, JavaOptionArgumentsComeUnexpandedAfterTheConfiguredOnes) {
    configTables().strings[key::VmOptions] = "-Dkey=${KESTRO_EXEDIR}";
    const std::vector<Utf16> arguments{u"app.exe", u"-J-Xmx1g", u"x", u"-J-Dp=${KESTRO_EXEDIR}", u"-j-no",
                                       u"-Dsun.locale.formatasdefault=true"};
    EXPECT_EQ(collect(arguments).options, (Options{"-Dkey=C:\\App\\", "-Dsun.locale.formatasdefault=true"}));
    configTables().strings[key::JavaOptionArguments] = "1";
    EXPECT_EQ(collect(arguments).options, (Options{"-Dkey=C:\\App\\", "-Xmx1g", "-Dp=${KESTRO_EXEDIR}",
                                                   "-Dsun.locale.formatasdefault=true"}));
}

TEST_F(VmOptions, TheLastFormatArgumentDecidesTheLocaleOptions) {
    chooseLocale({}, 0x0807, nullptr);  // de_CH
    const std::u16string off = u"-Dsun.locale.formatasdefault=false";
    const std::u16string on = u"-Dsun.locale.formatasdefault=true";
    EXPECT_EQ(collect({u"app.exe", off, on}).options, Options{"-Dsun.locale.formatasdefault=true"});
    EXPECT_EQ(collect({u"app.exe", on, off}).options,
              (Options{"-Dsun.locale.formatasdefault=false", "-Duser.language=de", "-Duser.country=CH"}));
    chooseLocale({}, 0x000C, nullptr);  // fr, no country
    EXPECT_EQ(collect({u"app.exe", off}).options,
              (Options{"-Dsun.locale.formatasdefault=false", "-Duser.language=fr"}));
    EXPECT_TRUE(collect({u"app.exe"}).options.empty());
}

TEST_F(VmOptions, IncludeCyclesAreStoppedWithOneTraceLine) {
    // a includes b, b includes a again (written differently); a also includes itself.
    fakeVm().files["C:\\App\\app.vmoptions"] =
        "-Dapp\n-include-options conf\\a.vmoptions\n-include-options app.vmoptions\n";
    fakeVm().files["C:\\App\\conf\\a.vmoptions"] =
        "-Da\n-include-options b.vmoptions\n-include-options .\\A.VMOPTIONS\n";
    fakeVm().files["C:\\App\\conf\\b.vmoptions"] = "-Db\n-include-options ..\\CONF\\a.vmoptions\n-Db2\n";
    EXPECT_EQ(collect().options, (Options{"-Dapp", "-Da", "-Db", "-Db2"}));
    EXPECT_EQ(errorLines(), 3);
    const auto& lines = testing::tracedLines();
    const std::string stopped = "ERROR: vmoptions file <C:\\App\\conf\\..\\CONF\\a.vmoptions> includes itself";
    EXPECT_NE(std::find(lines.begin(), lines.end(), stopped + ", include skipped"), lines.end());
}

TEST_F(VmOptions, AFileIncludedTwiceSideBySideIsReadTwice) {
    fakeVm().files["C:\\App\\app.vmoptions"] = "-include-options common.vmoptions\n-include-options common.vmoptions\n";
    fakeVm().files["C:\\App\\common.vmoptions"] = "-Dcommon\n";
    EXPECT_EQ(collect().options, (Options{"-Dcommon", "-Dcommon"}));
    EXPECT_EQ(errorLines(), 0);
}

}  // namespace
}  // namespace kestro
