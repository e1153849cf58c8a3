// The VM start's file work through the real file functions (run under Wine): reading
// vmoptions files in text mode, the default file's names and the archive listing. The
// rules of the files' lines and includes are unit-tested natively.
#include <windows.h>

#include <fstream>

#include "support/win32_test.h"
#include "vm/class_path.h"
#include "vm/vm_options.h"
#include "workfiles/paths.h"
#include "workfiles/temp_dir.h"

namespace kestro::test {
namespace {

using Texts = std::vector<std::string>;

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class VmStartFiles : public Win32Test {
protected:
    OptionCollector collector{win32VmSystem(), {}, {}, {}};

    void readFile(const fs::path& path) {
        std::string name = text(path);
        readVmOptionsFile(name.c_str(), OptionFile{win32VmSystem().openText(name), name}, collector);
    }
};

TEST_F(VmStartFiles, OptionFilesAreReadAsTextInPieces) {
    const std::string longLine(9000, 'x');
    writeFile(dir_ / "a.vmoptions", "-Da=1\r\n  # note\r\n" + longLine + "\r\n-Dlast=\x1a-after end of text\r\n");
    readFile(dir_ / "a.vmoptions");
    EXPECT_EQ(collector.options, (Texts{"-Da=1", longLine.substr(0, 8191), longLine.substr(8191), "-Dlast="}));
}

// The executable's path in the test: a short form, of which the long form names the files.
std::string& fakeModulePath() {
    static std::string path;
    return path;
}

TEST_F(VmStartFiles, TheDefaultFileIsNamedAfterTheExecutablesLongPath) {
    fs::path app = dir_ / "Application Folder";
    writeFile(app / "uninstall.exe", "");
    writeFile(app / "uninstall.vmoptions", "-Dfirst\n");
    writeFile(app / "uninstall.exe.vmoptions", "-Dsecond\n");
    std::string exe = text(app / "uninstall.exe");
    fakeModulePath() = shortPathName(exe).value_or(exe);
    VmSystem system = win32VmSystem();
    system.modulePath = []() -> const std::string& { return fakeModulePath(); };

    OptionFile first = openDefaultVmOptionsFile(system);
    ASSERT_TRUE(first.file);
    std::fclose(first.file);
    EXPECT_EQ(first.path, text(app / "uninstall.vmoptions"));

    fs::remove(app / "uninstall.vmoptions");
    OptionFile second = openDefaultVmOptionsFile(system);
    ASSERT_TRUE(second.file);
    std::fclose(second.file);
    EXPECT_EQ(second.path, text(app / "uninstall.exe.vmoptions"));

    fs::remove(app / "uninstall.exe.vmoptions");
    EXPECT_FALSE(openDefaultVmOptionsFile(system).file);
}

TEST_F(VmStartFiles, ArchivesComeInListingOrderJarsBeforeZips) {
    for (const char* name : {"b.jar", "a.zip", "c.jar", "a.jar", "readme.txt", "user\\u.zip", "user\\u.jar",
                             "old.jarx", "c.jar_old"})  // matched by "*.jar" through their 8.3 aliases
        writeFile(dir_ / name, "");
    fs::create_directories(dir_ / "classes.jar");  // a directory with a matching name counts
    tempDirPath() = text(dir_);
    std::string option;
    auto failure = buildClassPath({}, option, win32VmSystem());
    tempDirPath().clear();
    ASSERT_FALSE(failure);
    // Within one directory the file system's order stands, as the listing gives it.
    Texts jars = listMatchingFiles(text(dir_), "jar", win32VmSystem());
    EXPECT_EQ(jars.size(), 4u);
    std::string expected = "-Djava.class.path=";
    for (const std::string& name : jars) expected += text(dir_) + "\\" + name + ";";
    for (const char* name : {"a.zip", "user\\u.jar", "user\\u.zip"}) expected += text(dir_) + "\\" + name + ";";
    EXPECT_EQ(option + ";", expected);
    EXPECT_FALSE(appendArchives(option, text(dir_ / "missing"), "jar", win32VmSystem()));
}

}  // namespace
}  // namespace kestro::test
