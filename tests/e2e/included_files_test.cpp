// Included files: extraction into the run's temporary directory, and its removal when
// the start ends early.
#include "small_disk.h"

#include <algorithm>

namespace kestro::e2e {
namespace {

using Texts = std::vector<std::string>;

class IncludedFiles : public LauncherTest {
protected:
    format::IncludedFile source(const std::string& name, const std::string& content) {
        return {name, writeBytes(dir_ / "src" / std::to_string(++sources_), content)};
    }
    // Includes the files with key 2002 and key 2003 as given.
    fs::path build(const std::string& count, const std::string& names, const std::vector<format::IncludedFile>& files) {
        set(key::IncludedCount, count);
        set(key::IncludedNames, names);
        return buildLauncher(++builds_ == 1 ? "app.exe" : "app" + std::to_string(builds_) + ".exe", files);
    }
    int sources_ = 0;
    int builds_ = 0;
};

// Empty names are skipped, only the counted names are extracted, an empty record counts
// but makes no file, and the directory of "lib\..." is made once, before its first file.
TEST_F(IncludedFiles, CountedNamesAreExtractedByteForByteAndTheDirectoryStays) {
    std::string big = everyByteValue(5 * 1024 * 1024 + 4321);
    fs::path exe = build("4", ";a.jar;;empty.jar;lib\\x.jar;lib\\big.bin;c.jar",
                         {source("a.jar", "alpha"), source("empty.jar", ""), source("lib\\x.jar", "ex"),
                          source("lib\\big.bin", big), source("c.jar", "charlie")});
    RunResult r = run(exe);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    auto dirs = runDirectories(tmp_);
    ASSERT_EQ(dirs.size(), 1u);  // a normal end leaves it to the application
    EXPECT_EQ(dirs[0], unixPath(announcedDirectory(r)));
    EXPECT_EQ(readBytes(dirs[0] / "a.jar"), "alpha");
    EXPECT_FALSE(fs::exists(dirs[0] / "empty.jar"));
    EXPECT_EQ(readBytes(dirs[0] / "lib" / "x.jar"), "ex");
    EXPECT_TRUE(readBytes(dirs[0] / "lib" / "big.bin") == big);
    EXPECT_FALSE(fs::exists(dirs[0] / "c.jar"));

    std::string dir = announcedDirectory(r);
    EXPECT_TRUE(r.traced("extracting " + dir + "\\empty.jar (size: 0)")) << r.trace;
    EXPECT_FALSE(r.tracedPrefix("ERROR: "));  // the second name finds lib already there
    // The data after the extracted files begins with the fifth record.
    uint64_t fifth = fs::file_size(exe) - format::kTrailer.size() - (8 + 7);
    EXPECT_TRUE(r.traced("unextracted position: " + std::to_string(fifth)));
    Texts options = vmOptions(jvmTranscript(dir_ / "jre"));  // and the VM is told both
    EXPECT_NE(std::ranges::find(options, "-Dkestro.tempDir=" + dir), options.end());
    EXPECT_NE(std::ranges::find(options, "-Dkestro.unextractedPosition=" + std::to_string(fifth)), options.end());
    EXPECT_TRUE(r.traced("extracting files done"));
}

// Every way extraction fails after the directory was made ends the start with its
// report, and the partly filled directory goes; nothing is written outside it. Only the
// first backslash of a name makes a directory; a name that leads outside is refused
// before anything of it is written (the native tests hold the full list of refused
// names, devices among them). A block that ends inside a file's data or inside a size field
// fails the read.
TEST_F(IncludedFiles, AFailedExtractionEndsTheStartAndLeavesNothingBehind) {
    fs::create_directories(tmp_ / "lib");
    const std::string outside = "ERROR: refusing to extract ..\\evil.jar outside the temporary directory";
    struct Case {
        std::string names;
        std::vector<std::string> contents;
        int64_t lastDeclaredSize;  // -1: as long as its content
        std::string report, traced, notTraced;  // beginnings of lines; {DIR} stands for the run's directory
    };
    const std::string cut = message(1009, "11");
    const Case cases[] = {
        {"lib\\x.jar;lib\\sub\\y.jar", {"ex", "why"}, -1, cut, "extracting {DIR}\\lib\\sub\\y.jar (size: 3)",
         "ERROR: refusing"},
        {"first.jar;..\\evil.jar", {"1", "evil"}, -1, cut, outside, "extracting {DIR}\\..\\evil.jar"},
        {"a.jar;b.jar", {"whole", std::string(500, 'b')}, 1000, message(1009, "16"),
         "ERROR: Failed to extract {DIR}\\b.jar", ""},
        {"a.jar", {}, -1, "Internal Error: readLong", "error ", ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names);
        set(key::IncludedCount, std::to_string(std::max<size_t>(c.contents.size(), 1)));
        set(key::IncludedNames, c.names);
        std::vector<uint8_t> block = withRecords(head_, c.contents, c.lastDeclaredSize);
        if (c.contents.empty()) block.insert(block.end(), {0x10, 0, 0});  // inside the first size field
        RunResult r = run(buildRaw(block, "app" + std::to_string(++n) + ".exe"));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, r.reported(c.report));
        std::string dir = announcedDirectory(r);
        auto inDir = [&](std::string line) {
            if (size_t at = line.find("{DIR}"); at != std::string::npos) line.replace(at, 5, dir);
            return line;
        };
        EXPECT_TRUE(r.tracedPrefix(inDir(c.traced))) << r.trace;
        if (!c.notTraced.empty()) { EXPECT_FALSE(r.tracedPrefix(inDir(c.notTraced))) << r.trace; }
        EXPECT_FALSE(fs::exists(unixPath(dir)));
        EXPECT_TRUE(runDirectories(tmp_).empty());
        for (const fs::path& place : {tmp_ / "evil.jar", dir_ / "evil.jar", buildDir() / "wineprefix/drive_c/evil.jar"})
            EXPECT_FALSE(fs::exists(place)) << place;
    }
}

// Extraction onto a full disk: a tiny tmpfs mounted as the temporary root. The trace
// file lives there too; its records fit in the page it already holds.
using FullDisk = OnSmallDisk<IncludedFiles>;

TEST_F(FullDisk, WriteFailureEndsTheStartAndLeavesNothingBehind) {
    RunResult r = run(build("2", "small.jar;big.bin",
                            {source("small.jar", "fits"), source("big.bin", everyByteValue(1 << 20))}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1009, "16")));
    EXPECT_TRUE(r.tracedPrefix("ERROR: WriteFile failed ")) << r.trace;
    EXPECT_TRUE(r.traced("ERROR: Failed to extract " + announcedDirectory(r) + "\\big.bin"));
    EXPECT_FALSE(fs::exists(unixPath(announcedDirectory(r))));
    EXPECT_TRUE(runDirectories(tmp_).empty());
}

}  // namespace
}  // namespace kestro::e2e
