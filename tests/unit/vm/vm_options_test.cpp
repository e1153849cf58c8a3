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
    static OptionCollector collect(const std::vector<Utf16>& arguments = {u"app.exe"}) {
        testing::clearTrace();
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
};

// Each row: the files below C:\App\ (app.vmoptions is the default one), the options read, trace
// lines that begin with the given texts, and the number of error lines.
TEST_F(VmOptions, FilesAndTheirIncludes) {
    struct Case {
        std::map<std::string, std::string> files;
        Options options;
        std::vector<std::string> traced;
        int errors;
    };
    const std::string piece(8191, 'x');
    const std::string include = "adding vmoptions from <C:\\App\\conf\\sub\\";
    const std::string stopped =
        "ERROR: vmoptions file <C:\\App\\conf\\..\\CONF\\a.vmoptions> includes itself, include skipped";
    for (const Case& c : std::initializer_list<Case>{
             // Lines are trimmed of spaces and line ends, comments skipped.
             {{{"app.vmoptions",
                "-Xmx512m\n\n     \n   # note\n\t# tab\n  -Dspaced=a b  \r\n-Dhash=a#b\r\r\n-Dcr=x\r \n"}},
              {"-Xmx512m", "\t# tab", "-Dspaced=a b", "-Dhash=a#b", "-Dcr=x\r"}, {}, 0},
             // Long lines are read in pieces of 8191 bytes.
             {{{"app.vmoptions", piece + "tail\n" + piece + "\n-Dnext\n"}},
              {piece, "tail", piece, "-Dnext"}, {}, 0},
             // Includes are read in place relative to the including file; the trace shows the
             // resolved path and the text as written, also of one that does not open.
             {{{"app.vmoptions",
                "-Da\n-include-options ${launcher:sys.launcherDirectory}conf\\common.vmoptions\n-Dz\n"},
               {"conf\\common.vmoptions", "-Db\n-include-options sub\\more.vmoptions\n-Dc\n"},
               {"conf\\sub\\more.vmoptions", "-Dmore\n-include-options missing.vmoptions\n"}},
              {"-Da", "-Db", "-Dmore", "-Dc", "-Dz"},
              {include + "more.vmoptions> (sub\\more.vmoptions) (",
               include + "missing.vmoptions> (missing.vmoptions) ("},
              0},
             // A cycle is cut with one error line each time: a includes b, b includes a again
             // (written differently), a also includes itself.
             {{{"app.vmoptions", "-Dapp\n-include-options conf\\a.vmoptions\n-include-options app.vmoptions\n"},
               {"conf\\a.vmoptions", "-Da\n-include-options b.vmoptions\n-include-options .\\A.VMOPTIONS\n"},
               {"conf\\b.vmoptions", "-Db\n-include-options ..\\CONF\\a.vmoptions\n-Db2\n"}},
              {"-Dapp", "-Da", "-Db", "-Db2"}, {stopped}, 3},
             // A UTF-8 file with its mark reaches the VM in the code page; a UTF-16 one not at all.
             {{{"app.vmoptions", "\xEF\xBB\xBF-Xmx512m\n-Dname=Gr\xC3\xBC\xC3\x9F" "e \xCE\xA9\xF0\x9F\x98\x80\xC0\xAF?\n"}},
              {"-Xmx512m", "-Dname=Gr\xFC\xDF" "e ?????"}, {}, 1},
             {{{"app.vmoptions", std::string("\xFF\xFE-\0X\0\r\0\n\0", 10)}}, {}, {}, 1},
             // Without a mark the whole file decides: well-formed UTF-8 beyond ASCII is read as
             // UTF-8 (as Notepad saves it), anything else in the code page as it is.
             {{{"app.vmoptions", "-Duser.name=J\xC3\xBCrgen\n# \xCE\xA9\n-Dx=\xCE\xA9\n"}},
              {"-Duser.name=J\xFCrgen", "-Dx=?"}, {}, 1},
             {{{"app.vmoptions", "-Duser.name=J\xFCrgen\n"}}, {"-Duser.name=J\xFCrgen"}, {}, 0},
             {{{"app.vmoptions", "-Da=\xC3\xBC\n-Db=\xFC\n"}}, {"-Da=\xC3\xBC", "-Db=\xFC"}, {}, 0},
             // A character cut between two pieces of a long line reads as ANSI.
             {{{"app.vmoptions", piece.substr(1) + "\xC3\xBC\n"}}, {piece.substr(1) + "\xC3", "\xBC"}, {}, 0},
             // A file included twice side by side is read twice.
             {{{"app.vmoptions", "-include-options common.vmoptions\n-include-options common.vmoptions\n"},
               {"common.vmoptions", "-Dcommon\n"}},
              {"-Dcommon", "-Dcommon"}, {}, 0},
         }) {
        fakeVm().files.clear();
        for (const auto& [name, text] : c.files) fakeVm().files["C:\\App\\" + name] = text;
        EXPECT_EQ(collect().options, c.options) << c.files.begin()->second.substr(0, 20);
        EXPECT_EQ(linesStartingWith("ERROR: "), c.errors);
        for (const std::string& line : c.traced) EXPECT_EQ(linesStartingWith(line), 1) << line;
    }
}

TEST_F(VmOptions, ConfiguredOptionsJoinIncludesAndKeepDirectivesWhole) {
    configTables().strings[key::VmOptions] =
        "-Xmx256m -include-options extra.vmoptions -Dx=1 \"-classpath/p pre.jar\" -classpath x.jar -include-options";
    fakeVm().files["C:\\App\\extra.vmoptions"] = "-Dextra\n";
    OptionCollector joined = collect();
    EXPECT_EQ(joined.options, (Options{"-Xmx256m", "-Dextra", "-Dx=1", "-classpath", "x.jar", "-include-options"}));
    EXPECT_EQ(joined.directives.prefix, "pre.jar");
    EXPECT_FALSE(joined.directives.replacement);

    // Directives of the default file replace earlier ones.
    configTables().strings[key::VmOptions] = "'-classpath/a key.jar' '-classpath other.jar'";
    fakeVm().files["C:\\App\\app.vmoptions"] = "-classpath/a file.jar\n-classpath/a last.jar\n";
    OptionCollector replaced = collect();
    EXPECT_EQ(replaced.directives.suffix, "last.jar");
    EXPECT_EQ(replaced.directives.replacement, "other.jar");
    EXPECT_TRUE(replaced.options.empty());
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

}  // namespace
}  // namespace kestro
