#include <gtest/gtest.h>

#include "tests/unit/tool/tool_test_support.h"
#include "tool/archive/zip_directory.h"
#include "tool/config/config_loader.h"
#include "tool/config/main_class_check.h"

namespace kestro::tool {
namespace {

std::string le(uint32_t value, size_t bytes) {
    std::string out;
    for (size_t i = 0; i < bytes; ++i) out += char(value >> (8 * i) & 0xFF);
    return out;
}

// An archive of nothing but a central directory of `names` and its end record, as far as
// the directory is concerned a zip archive like any other; `directoryCount` overrides the
// end record's count.
std::string zipOf(const std::vector<std::string>& names, const std::string& comment = "",
                  std::optional<uint32_t> directoryCount = std::nullopt) {
    std::string directory;
    for (const std::string& name : names)
        directory += le(0x02014b50, 4) + std::string(24, '\0') + le(uint32_t(name.size()), 2) + std::string(16, '\0') +
                     name;
    uint32_t count = directoryCount.value_or(uint32_t(names.size()));
    return directory + le(0x06054b50, 4) + std::string(4, '\0') + le(count, 2) + le(count, 2) +
           le(uint32_t(directory.size()), 4) + le(0, 4) + le(uint32_t(comment.size()), 2) + comment;
}

std::optional<std::vector<std::string>> namesIn(const std::string& archive) {
    return zipEntryNames(archive.size(), [&](uint64_t offset, size_t n, std::string& out) {
        if (offset > archive.size() || n > archive.size() - offset) return false;
        out = archive.substr(size_t(offset), n);
        return true;
    });
}

using Names = std::vector<std::string>;

TEST(ZipDirectory, ReadsTheNamesAndRefusesWhatDoesNotFit) {
    const Names two{"META-INF/MANIFEST.MF", "com/example/App.class"};
    std::string good = zipOf(two);
    struct Case {
        const char* name;
        std::string archive;
        std::optional<Names> want;
    };
    const Case cases[] = {
        {"plain", good, two},
        {"empty", zipOf({}), Names{}},
        // A comment that holds an end record's signature is not taken for one.
        {"comment", zipOf(two, "PK\x05\x06 a comment"), two},
        {"after the end", good + "x", std::nullopt},
        {"no end record", good.substr(0, good.size() - 22), std::nullopt},
        {"more entries than the directory holds", zipOf(two, "", 3), std::nullopt},
        {"zip64", zipOf(two, "", 0xFFFF), std::nullopt},
        {"a name beyond the directory", zipOf({"a"}).replace(28, 2, le(200, 2)), std::nullopt},
        {"too short", "PK\x05\x06", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(namesIn(c.archive), c.want) << c.name;
}

TEST(MainClassSearch, FindsTheClassOrNamesTheNearestOne) {
    const std::vector<ClassSource> sources{
        {"app.jar", {"META-INF/MANIFEST.MF", "com/example/App.class", "com/example/Outer$Inner.class"}},
        {"lib.jar", {"org/lib/Util.class", "META-INF/versions/9/org/lib/Other.class", "META-INF/Stray.class"}},
    };
    struct Case {
        const char* mainClass;
        bool found;
        std::optional<std::string> nearest;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"com.example.App", true, {}},
             {"com/example/App", true, {}},
             {"org.lib.Util", true, {}},
             {"com.exmaple.App", false, "com.example.App"},
             {"com.example.app", false, "com.example.App"},
             {"App", false, "com.example.App"},
             {"net.other.Util", false, "org.lib.Util"},
             {"com.example.Outer.Inner", false, "com.example.Outer$Inner"},
             {"org.lib.Other", true, {}},
             {"com.example.Launcher", false, {}},
             {"META-INF.Stray", false, {}},
         }) {
        MainClassSearch search = findMainClass(c.mainClass, sources);
        EXPECT_EQ(search.found, c.found) << c.mainClass;
        EXPECT_EQ(search.nearest, c.nearest) << c.mainClass;
    }
}

// What a build of a launcher beside the class path's archives says about its main
// class: the archives it looked in are the included ones and those there at build time.
TEST(MainClassCheck, TheBuildWarnsWhenNoArchiveItCanSeeHoldsTheMainClass) {
    test::TempDir dir;
    test::writeFile(dir / "app.jar", zipOf({"com/example/App.class"}));
    test::writeFile(dir / "out/lib/util.jar", zipOf({"org/lib/Util.class"}));
    test::writeFile(dir / "out/libs/a.zip", zipOf({"org/lib/Zipped.class"}));
    test::writeFile(dir / "out/classes/org/dir/Loose.class", "");
    test::writeFile(dir / "out/broken.jar", "no archive");
    test::writeFile(dir / "kestro-runtime.jar", zipOf({"com/kestro/runtime/WinLauncher.class"}));
    const std::string included = "[[files]]\nsource = \"app.jar\"\n";
    const std::string classPath = "[classpath]\nentries = [{ archive = \"lib\\\\util.jar\" }, { scan = \"libs\" }, "
                                  "{ directory = \"classes\" }, { archive = \"${HOME}\\\\x.jar\" }, "
                                  "{ archive = \"missing.jar\" }]\n";
    struct Case {
        const char* name;
        std::string config;
        std::vector<std::string> warnings;
    };
    const std::string at = (dir / "app.toml").string() + ":1: warning: ";
    const Case cases[] = {
        {"included", "application.main_class = \"com.example.App\"\n" + included, {}},
        {"class path archive", "application.main_class = \"org.lib.Util\"\n" + classPath, {}},
        {"scanned", "application.main_class = \"org.lib.Zipped\"\n" + classPath, {}},
        {"class directory", "application.main_class = \"org.dir.Loose\"\n" + classPath, {}},
        {"misspelt", "application.main_class = \"com.exmaple.App\"\n" + included + classPath,
         {at + "application.main_class: com.exmaple.App is in none of the archives that kestro build can see (did "
               "you mean 'com.example.App'?); it looked in app.jar, lib\\util.jar, libs\\a.zip and 1 more"}},
        {"nothing near", "application.main_class = \"com.other.Main\"\n" + included,
         {at + "application.main_class: com.other.Main is in none of the archives that kestro build can see; it "
               "looked in app.jar"}},
        // Nothing the build can read, or an archive it cannot: it cannot tell.
        {"nothing to look in", "application.main_class = \"com.other.Main\"\n", {}},
        // The runtime library listed by its name, as inspect --toml prints it, holds no
        // application class.
        {"runtime library", "application.main_class = \"com.other.Main\"\n[[files]]\nsource = \"kestro-runtime.jar\"\n", {}},
        {"unreadable", "application.main_class = \"com.other.Main\"\n" + included +
                           "[classpath]\nentries = [{ archive = \"broken.jar\" }]\n", {}},
    };
    for (const Case& c : cases) {
        test::writeFile(dir / "app.toml", c.config);
        BuildPlan plan = loadConfiguration(dir / "app.toml", {.output = dir / "out" / "app.exe"});
        EXPECT_EQ(plan.warnings, c.warnings) << c.name;
    }
    // Only a build, which knows where the launcher goes, looks.
    test::writeFile(dir / "app.toml", "application.main_class = \"com.other.Main\"\n" + included);
    EXPECT_EQ(loadConfiguration(dir / "app.toml").warnings, std::vector<std::string>{});
}

}  // namespace
}  // namespace kestro::tool
