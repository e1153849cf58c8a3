// Included files: extraction into the run's temporary directory, and its removal when
// the start ends early.
#include "harness.h"

namespace kestro::e2e {
namespace {

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

TEST_F(IncludedFiles, NoneMeansNoTemporaryDirectory) {
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0);
    int counted = r.traceIndex("Included files: 0");
    ASSERT_GT(counted, 0) << r.trace;
    EXPECT_EQ(r.traceIndex("extracting files"), counted - 1);
    // No root is sought, no directory made, and the executable's records are not read:
    // the native library path follows at once, then the runtime search.
    EXPECT_EQ(r.traceIndex("native lib dir is "), counted + 1) << r.trace;
    int path = r.traceIndex("Setting PATH (native libs) " + r.tracedAfter("Setting PATH (native libs) ").value_or(""));
    ASSERT_GT(path, counted) << r.trace;
    EXPECT_EQ(r.traceIndex("LoadDLL (1, (null), 0)"), path + 1) << r.trace;
    EXPECT_TRUE(runDirectories(tmp_).empty());
    EXPECT_TRUE(uniqueFiles(tmp_).empty());
}

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
    int created = r.traceIndex("creating directory " + dir + "\\lib");
    EXPECT_GT(r.traceIndex("extracting " + dir + "\\lib\\x.jar (size: 2)"), created);
    EXPECT_GE(created, 0);
    EXPECT_FALSE(r.tracedPrefix("ERROR: "));  // the second name finds lib already there
    // The data after the extracted files begins with the fifth record.
    uint64_t fifth = fs::file_size(exe) - format::kTrailer.size() - (8 + 7);
    EXPECT_TRUE(r.traced("unextracted position: " + std::to_string(fifth)));
    EXPECT_TRUE(r.traced("extracting files done"));
}

// Only the first backslash makes a directory. The failure comes after a file was
// extracted, and the whole partly filled directory goes.
TEST_F(IncludedFiles, DeeperNameWithoutItsDirectoryIsAFileThatCannotBeCreated) {
    RunResult r = run(build("2", "lib\\x.jar;lib\\sub\\y.jar", {source("x", "ex"), source("y", "why")}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1009, "11")));
    EXPECT_TRUE(r.traced("extracting " + announcedDirectory(r) + "\\lib\\sub\\y.jar (size: 3)"));
    EXPECT_FALSE(fs::exists(unixPath(announcedDirectory(r))));
    EXPECT_TRUE(runDirectories(tmp_).empty());
}

TEST_F(IncludedFiles, BlockEndingInsideTheDataIsAnExtractionFailure) {
    set(key::IncludedCount, "2");
    set(key::IncludedNames, "a.jar;b.jar");
    RunResult r = run(buildRaw(withRecords(head_, {"whole", std::string(500, 'b')}, 1000)));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1009, "16")));
    std::string readFailure = r.tracedAfter("ERROR: ReadFile failed 0 ").value_or("");
    EXPECT_EQ(readFailure.substr(readFailure.find(' ')), " 500") << r.trace;
    std::string dir = announcedDirectory(r);
    EXPECT_TRUE(r.traced("ERROR: Failed to extract " + dir + "\\b.jar"));
    // The partly written file was closed before the removal, so nothing is left.
    EXPECT_TRUE(r.traced("attempting to delete " + dir + "\\b.jar"));
    EXPECT_FALSE(fs::exists(unixPath(dir)));
}

TEST_F(IncludedFiles, BlockEndingInsideASizeFieldFailsInTheReader) {
    set(key::IncludedCount, "1");
    set(key::IncludedNames, "a.jar");
    std::vector<uint8_t> block = format::serializeHead(head_);
    block.insert(block.end(), {0x10, 0, 0});
    RunResult r = run(buildRaw(block));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported("Internal Error: readLong"));
    EXPECT_TRUE(r.tracedPrefix("error "));
    EXPECT_FALSE(fs::exists(unixPath(announcedDirectory(r))));
    EXPECT_TRUE(runDirectories(tmp_).empty());
}

// A name that leads outside the temporary directory is refused before anything of it is
// written: the build tool would not make such a launcher, but a launcher can be edited.
// One name of each kind; the native tests hold the full list.
TEST_F(IncludedFiles, NamesLeadingOutsideTheDirectoryAreRefused) {
    fs::create_directories(tmp_ / "lib");
    for (const std::string name : {"..\\evil.jar", "lib\\..\\..\\evil.jar", "C:\\evil.jar", "\\evil.jar"}) {
        SCOPED_TRACE(name);
        RunResult r = run(build("2", "first.jar;" + name, {source("first.jar", "1"), source("evil", "evil")}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, r.reported(message(1009, "11")));
        EXPECT_TRUE(r.traced("ERROR: refusing to extract " + name + " outside the temporary directory")) << r.trace;
        EXPECT_FALSE(r.tracedPrefix("extracting " + announcedDirectory(r) + "\\" + name));
        EXPECT_FALSE(fs::exists(unixPath(announcedDirectory(r))));
        for (const fs::path& place : {tmp_ / "evil.jar", dir_ / "evil.jar", fs::path("/evil.jar"),
                                      buildDir() / "wineprefix" / "drive_c" / "evil.jar"})
            EXPECT_FALSE(fs::exists(place)) << place;
    }
}

// A name that Windows gives to a device would send the data to the device ("nul") or
// fail ("con"); it is refused before anything of it is written, after the names before
// it were extracted, and the whole directory goes.
TEST_F(IncludedFiles, DeviceNamesAreRefused) {
    for (const std::string name : {"nul", "lib\\AUX.jar", "con .txt"}) {
        SCOPED_TRACE(name);
        RunResult r = run(build("2", "first.jar;" + name, {source("first.jar", "1"), source("device", "device data")}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, r.reported(message(1009, "11")));
        std::string dir = announcedDirectory(r);
        EXPECT_TRUE(r.traced("extracting " + dir + "\\first.jar (size: 1)")) << r.trace;
        EXPECT_TRUE(r.traced("ERROR: refusing to extract " + name + ", a name Windows gives to a device")) << r.trace;
        EXPECT_FALSE(r.tracedPrefix("extracting " + dir + "\\" + name));
        EXPECT_FALSE(r.tracedPrefix("creating directory"));
        EXPECT_FALSE(fs::exists(unixPath(dir)));
        EXPECT_TRUE(runDirectories(tmp_).empty());
    }
}

}  // namespace
}  // namespace kestro::e2e
