// Where the VM options of a launcher run come from: the configured options, vmoptions
// files beside the launcher and their includes, "-J" arguments and the locale options.
#include "vm_run.h"

namespace kestro::e2e {
namespace {

using VmOptionSources = VmRunTest;
using Texts = std::vector<std::string>;

// The default file's lines after the configured options, each include read where it
// stands and resolved against the including file, a cycle cut with one error line, and
// the default file's class path directive winning over the configured one.
TEST_F(VmOptionSources, FilesAndIncludesAreReadInPlace) {
    set(key::VmOptions, "-Xmx256m -include-options extra.vmoptions -Dx=1 '-classpath/a key.jar'");
    set(key::ClassPath, "A0lib.jar");
    writeBytes(dir_ / "extra.vmoptions", "-Dextra\n");
    writeBytes(dir_ / "app.vmoptions", "-Xmx512m\n\n   \n   # note\n\t# tab\n-Dbefore\n"
                                       "-include-options ${launcher:sys.launcherDirectory}conf\\common.vmoptions\n"
                                       "-Dafter\n-classpath/a file.jar\n");
    writeBytes(dir_ / "app.exe.vmoptions", "-Dsecond\n");  // only the first name is read
    writeBytes(dir_ / "conf" / "common.vmoptions", "-Dcommon\n-include-options sub\\more.vmoptions\n-Dcommon2\n");
    writeBytes(dir_ / "conf" / "sub" / "more.vmoptions", "-Dmore\n-include-options ..\\COMMON.vmoptions\n-Dmore2\n");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    auto t = jvmTranscript(dir_ / "jre");
    EXPECT_EQ(gatheredOptions(t), (Texts{"-Xmx256m", "-Dextra", "-Dx=1", "-Xmx512m", "\\x09# tab", "-Dbefore",
                                         "-Dcommon", "-Dmore", "-Dmore2", "-Dcommon2", "-Dafter"}))
        << t.text();
    EXPECT_EQ(classPathOf(t), windowsPath(dir_) + "\\lib.jar;file.jar");

    const std::string conf = windowsPath(dir_ / "conf");
    EXPECT_TRUE(r.tracedPrefix("adding vmoptions from <" + conf + "\\sub\\more.vmoptions> (sub\\more.vmoptions) ("))
        << r.trace;
    EXPECT_EQ(r.countTraced("ERROR: "), 1);
    EXPECT_TRUE(r.traced("ERROR: vmoptions file <" + conf + "\\sub\\..\\COMMON.vmoptions> includes itself, "
                         "include skipped"));
}

// "-J" arguments, unexpanded, after the configured options when key 125 allows them;
// the locale options after them, from the last format argument; the default file last.
TEST_F(VmOptionSources, JavaOptionArgumentsAndLocaleOptionsFollowTheConfiguredOnes) {
    set(key::VmOptions, "-Dkey=1");
    writeBytes(dir_ / "j0.vmoptions", "-Dfile\n");
    writeBytes(dir_ / "j1.vmoptions", "-Dfile\n");
    writeBytes(dir_ / "both.vmoptions", "-Dfile\n");
    const std::string off = "-Dsun.locale.formatasdefault=false", on = "-Dsun.locale.formatasdefault=true";
    struct Case {
        const char* name;
        const char* javaOptions;  // key 125
        const char* unixLocale;
        std::string arguments;
        Texts options;        // between the configured option and the default file's
        Texts mainArguments;  // after the executable
    };
    const Case cases[] = {
        {"j0", "0", "de_CH.UTF-8", "-J-Xmx1g a " + off, {off, "-Duser.language=de", "-Duser.country=CH"},
         {"-J-Xmx1g", "a"}},
        {"j1", "1", "nn_NO.UTF-8", "-J-Xmx1g \"-J-Dp=${KESTRO_EXEDIR}\" a " + off + " -Jx",
         {"-Xmx1g", "-Dp=${KESTRO_EXEDIR}", "x", off, "-Duser.language=no"}, {"a"}},
        {"both", "1", "de_CH.UTF-8", off + " " + on, {on}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path home = useRuntime(c.name);
        set(key::JavaOptionArguments, c.javaOptions);
        fs::path exe = buildLauncher(std::string(c.name) + ".exe");
        RunResult r = run(exe, {.arguments = c.arguments, .unixEnv = {{"LC_ALL", c.unixLocale}}});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        auto t = jvmTranscript(home);
        Texts expected = {"-Dkey=1"};
        expected.insert(expected.end(), c.options.begin(), c.options.end());
        expected.push_back("-Dfile");
        EXPECT_EQ(gatheredOptions(t), expected);
        Texts arguments = t.values("argument ");
        ASSERT_GE(arguments.size(), 6u);
        EXPECT_EQ(Texts(arguments.begin() + 6, arguments.end()), c.mainArguments);
    }
}

}  // namespace
}  // namespace kestro::e2e
