// Tests of the kestro program's failures and of the files it refuses to touch: one
// message for each bad input, nothing left behind, exit codes, and signing.
#include "cli_fixture.h"

namespace kestro::tool::cli {
namespace {

// One failure for each place a command can fail: the configuration (the messages of its
// settings are the unit tests'), the files it names, the stub, the output, the launcher
// to inspect.
TEST_F(Cli, EachBadInputGivesOneMessageAndLeavesNoOutput) {
    struct BadInput {
        std::string config;  // written to app.toml
        std::vector<std::string> args;
        std::string message;  // how standard error begins
    };
    writeFile(ws_ / "not-a-pe.exe", "MZ but nothing more");
    const std::vector<std::string> build{"build", "app.toml", "-o", "Out.exe"};
    const std::string main = "\n[keys]\n122 = \"a.B\"\n";  // after the lines the messages name
    const std::vector<BadInput> cases{
        {"[application\n", build, "app.toml:1: "},
        {"[[files]]\nsource = \"gone.jar\"\n" + main, build,
         "app.toml:2: files[0].source: included file 'gone.jar' not found (looked for " + shown(ws_ / "gone.jar") +
             ")\n"},
        {"[[files]]\nsource = \"input\"\n" + main, build,
         "app.toml:2: files[0].source: 'input' is a directory (looked for "},
        {"files = [{ source = \"input/readme.txt\" }, { source = \"input/app.jar\", name = \"README.TXT\" }]" + main,
         build, "app.toml:1: files[1].name: \"README.TXT\" is already the name of files[0]\n"},
        {main, {"build", "app.toml", "-o", "Out.exe", "--stub", "none.exe"},
         "kestro: stub none.exe does not exist or is not a file\n"},
        {main, {"build", "app.toml", "-o", "Out.exe", "--stub", "not-a-pe.exe"},
         "kestro: stub not-a-pe.exe is not a Kestro launcher stub: not a Windows executable (no MZ header)\n"},
        {main, {"build", "app.toml", "-o", "Out.exe", "--stub", (fs::path(KESTRO_TOOL_DIR) / "kestro.exe").string()},
         "kestro: stub " + (fs::path(KESTRO_TOOL_DIR) / "kestro.exe").string() +
             " is a Windows executable, but not a Kestro launcher stub nor a launcher built from one"},
        {main, {"build", "app.toml", "-o", "input/readme.txt/Out.exe"},
         "kestro: cannot write input/readme.txt/Out.exe: input/readme.txt is not a directory\n"},
        {main, {"build", "app.toml", "-o", "input"}, "kestro: cannot write input: it is a directory\n"},
        {"hello", {"inspect", "app.toml"}, "kestro: app.toml is not a launcher: not a Windows executable (no MZ header)\n"},
        {"", {"inspect", KESTRO_STUB}, std::string("kestro: ") + KESTRO_STUB + " carries no configuration block"},
        {main, {"package", "app.toml", "-o", "App.msi"}, "kestro: app.toml has no [package] table"},
        // A launcher that should have been signed is not left unsigned.
        {"[signing]\ncertificate = \"input/readme.txt\"\npassword_variable = \"KESTRO_UNSET_VARIABLE\"\n" + main, build,
         "kestro: signing: the environment variable KESTRO_UNSET_VARIABLE (signing.password_variable) is not set"},
    };
    for (const auto& c : cases) {
        writeFile(ws_ / "app.toml", c.config);
        auto before = listing();
        auto run = kestro(c.args);
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
        EXPECT_EQ(std::ranges::count(run.err, '\n'), 1) << run.err;
        EXPECT_EQ(listing(), before) << c.message;  // no output and no temporary file
    }
}

// kestro build signs with the certificate of [signing], its password taken from the
// variable named; inspect says who signed. (signtool, which the Windows tool calls, is
// not at hand under Wine.)
TEST_F(Cli, BuildSignsAndInspectSaysBy) {
    if (windows()) GTEST_SKIP() << "signs with osslsigncode, the Linux tool's signer";
    ASSERT_EQ(std::system(("cd '" + ws_.path.string() + "' && openssl req -x509 -newkey rsa:2048 -nodes -days 1 "
                           "-subj '/CN=Kestro CLI Test/O=Example Ltd' -keyout key.pem -out cert.pem >/dev/null 2>&1 && "
                           "openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout pass:pw >/dev/null")
                              .c_str()),
              0);
    writeFile(ws_ / "app.toml", std::string(kFullConfig) +
                                    "[signing]\ncertificate = \"cert.p12\"\npassword_variable = \"KESTRO_CLI_PASSWORD\"\n");
    setenv("KESTRO_CLI_PASSWORD", "pw", 1);
    Run built = kestro({"build", "app.toml", "-o", "Signed.exe", "-q"});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(listing().count(ws_ / "Signed.exe.signed"), 0u);
    Run shown = kestro({"inspect", "Signed.exe"});
    EXPECT_NE(shown.out.find("\nsignature: signed by CN=Kestro CLI Test, O=Example Ltd (issued by itself)\n"),
              std::string::npos)
        << shown.out;
    setenv("KESTRO_CLI_PASSWORD", "wrong", 1);
    Run refused = kestro({"build", "app.toml", "-o", "Other.exe", "-q"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.rfind("kestro: osslsigncode could not sign Other.exe:", 0), 0u) << refused.err;
    EXPECT_EQ(listing().count(ws_ / "Other.exe"), 0u);
    unsetenv("KESTRO_CLI_PASSWORD");
}

TEST_F(Cli, ExtractionRefusesANameThatClimbsOut) {
    writeFile(ws_ / "evil.toml", "application.main_class = \"a.B\"\n[[files]]\nsource = \"input/readme.txt\"\n"
                                 "name = \"xx\\\\e.txt\"\n");
    ASSERT_EQ(kestro({"build", "evil.toml", "-o", "Evil.exe"}).exitCode, 0);
    std::string bytes = readFile(ws_ / "Evil.exe");
    bytes.replace(bytes.find("xx\\e.txt"), 8, "..\\e.txt");
    writeFile(ws_ / "Evil.exe", bytes);
    auto run = kestro({"inspect", "Evil.exe", "--extract", "out/inner"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("\"..\\e.txt\" is not extracted"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(ws_ / "out/e.txt"));
}

// The tool replaces its output by renaming a finished file over it: never over a
// device or a pipe, also where a link leads to one.
TEST_F(Cli, OutputThatIsNoRegularFileIsNeverReplaced) {
    if (windows()) GTEST_SKIP() << "POSIX only: Windows has no device or pipe files in a directory";
    // A device of our own where the tests run as root, so that a fault cannot replace
    // the system's /dev/full.
    fs::path device = ws_ / "full";
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) device = "/dev/full";
    ASSERT_EQ(::mkfifo((ws_ / "pipe").c_str(), 0666), 0);
    fs::create_symlink("pipe", ws_ / "ToPipe.exe");
    for (const auto& [output, message] : std::vector<std::pair<std::string, std::string>>{
             {device.string(), "kestro: cannot write " + device.string() + ": it is a character device; only a regular file is replaced\n"},
             {"pipe", "kestro: cannot write pipe: it is a named pipe; only a regular file is replaced\n"},
             {"ToPipe.exe", "kestro: cannot write ToPipe.exe (a link to pipe): it is a named pipe"},
         }) {
        auto run = kestro({"build", "app.toml", "-o", output});
        EXPECT_EQ(run.exitCode, 1) << output;
        EXPECT_EQ(run.err.substr(0, message.size()), message);
    }
    struct stat st {};
    EXPECT_TRUE(::stat(device.c_str(), &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_TRUE(fs::is_fifo(ws_ / "pipe"));
}

// An output that is a symbolic link: on Linux the launcher goes into the file the link
// points to (through a rename beside it) and the link stays; on Windows the link itself
// is replaced, as Windows replaces files, and what it pointed to is left alone.
TEST_F(Cli, OutputThatIsALink) {
    writeFile(ws_ / "elsewhere/App.exe", "old launcher");
    fs::create_symlink("elsewhere/App.exe", ws_ / "App.exe");
    fs::create_symlink("../elsewhere/New.exe", ws_ / "input/New.exe");  // dangling, relative to its directory
    // Launchers of different names, the same but for what their names give.
    writeFile(ws_ / "app.toml", std::string("version.generate = false\nmanifest.generate = false\n") + kFullConfig);
    ASSERT_EQ(kestro({"build", "app.toml", "-o", "App.exe", "-q"}).exitCode, 0);
    ASSERT_EQ(kestro({"build", "app.toml", "-o", "input/New.exe", "-q"}).exitCode, 0);
    if (windows()) {
        EXPECT_FALSE(fs::is_symlink(ws_ / "App.exe"));
        EXPECT_EQ(readFile(ws_ / "elsewhere/App.exe"), "old launcher");
        EXPECT_FALSE(fs::exists(ws_ / "elsewhere/New.exe"));
        EXPECT_TRUE(readFile(ws_ / "input/New.exe") == readFile(ws_ / "App.exe"));
    } else {
        EXPECT_TRUE(fs::is_symlink(ws_ / "App.exe"));
        EXPECT_TRUE(fs::is_symlink(ws_ / "input/New.exe"));
        EXPECT_EQ(readFile(ws_ / "elsewhere/App.exe").substr(0, 2), "MZ");
        EXPECT_TRUE(readFile(ws_ / "elsewhere/New.exe") == readFile(ws_ / "elsewhere/App.exe"));
        EXPECT_EQ(fs::status(ws_ / "elsewhere/App.exe").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    }
    for (const fs::path& dir : {ws_.path, ws_ / "elsewhere", ws_ / "input"})
        for (const auto& entry : fs::directory_iterator(dir))
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(Cli, UsageErrorsExitWithTwoAndNameWhatIsWrong) {
    struct Usage {
        std::vector<std::string> args;
        std::string message;  // the first line of standard error
    };
    const std::vector<Usage> cases{
        {{"biuld", "app.toml"}, "kestro: unknown command 'biuld' (did you mean 'build'?)"},
        {{}, "kestro: a command is needed: 'build', 'inspect', 'run', 'package' or 'init'"},
        {{"build", "app.toml", "--out", "x.exe"},
         "kestro: unknown option '--out' for 'kestro build' (did you mean '--output'?)"},
        {{"build", "app.toml", "--ouptut=x.exe"},
         "kestro: unknown option '--ouptut' for 'kestro build' (did you mean '--output'?)"},
        {{"build", "app.toml"}, "kestro: 'kestro build' needs the launcher to write: -o App.exe"},
        {{"build", "app.toml", "-o", "x.exe", "more.toml"}, "kestro: unexpected argument 'more.toml' for 'kestro build'"},
        {{"inspect", "--json", "--toml", "x.exe"}, "kestro: --json excludes --toml"},
    };
    for (const auto& c : cases) {
        auto run = kestro(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.message);
        EXPECT_NE(run.err.find("Run 'kestro"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(ws_ / "x.exe"));

    auto version = kestro({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.starts_with("kestro ") && std::isdigit(version.out[7])) << version.out;
}

// What was written on standard output unless quiet, into directories made for it;
// warnings on standard error, and the build still succeeds.
TEST_F(Cli, BuildSaysWhatItWroteAndWarnsOnStandardError) {
    auto run = kestro({"build", "app.toml", "-o", "dist/new/App.exe"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote dist/new/App.exe (" + std::to_string(fs::file_size(ws_ / "dist/new/App.exe")) +
                           " bytes; 27 settings, 2 included files, 4 resources)\n");
    EXPECT_EQ(run.err, "");

    writeFile(ws_ / "app.toml", "[application]\ntype = 3\nmain_class = \"a.B\"\n");
    auto quiet = kestro({"build", "app.toml", "-o", "Quiet.exe", "--quiet"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "app.toml:2: warning: application.type 3 has no meaning of its own; the launcher treats it "
                         "as \"console\" (2)\n");
    EXPECT_TRUE(fs::exists(ws_ / "Quiet.exe"));
}

}  // namespace
}  // namespace kestro::tool::cli
