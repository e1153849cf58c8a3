// Included files: extraction into the run's temporary directory, and its removal when
// the start ends early.
#include "harness.h"
#include "work_files.h"

#include "format/block_writer.h"
#include "format/config_keys.h"

namespace kestro::e2e {
namespace {

const std::string kInternalError = "An internal error occurred (error code: ";

class IncludedFiles : public LauncherTest {
protected:
    format::IncludedFile source(const std::string& name, const std::string& content) {
        return {name, writeBytes(dir_ / "src" / std::to_string(++sources_), content)};
    }
    // Includes the files with key 2002 and key 2003 as given.
    fs::path build(const std::string& count, const std::string& names, const std::vector<format::IncludedFile>& files) {
        set(key::IncludedCount, count);
        set(key::IncludedNames, names);
        return buildLauncher("app.exe", files);
    }
    // The run directory a run announced in its trace, as a Unix path.
    static fs::path announcedDirectory(const RunResult& r) { return unixPath(tracedAfter(r, "Temp dir: ")); }
    std::string report(const RunResult& r, const std::string& text) const {
        return text + "\n\nLog: " + windowsPath(*r.traceFile) + "\n";
    }

    int sources_ = 0;
};

TEST_F(IncludedFiles, NoneMeansNoTemporaryDirectory) {
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0);
    int counted = r.traceIndex("Included files: 0");
    ASSERT_GT(counted, 0) << r.trace;
    EXPECT_EQ(r.traceIndex("extracting files"), counted - 1);
    // No root is sought, no directory made, and the executable's records are not read:
    // the runtime search follows at once.
    EXPECT_EQ(r.traceIndex("LoadDLL (1, (null), 0)"), counted + 1) << r.trace;
    EXPECT_TRUE(runDirectories(tmp_).empty());
    EXPECT_TRUE(uniqueFiles(tmp_).empty());
}

TEST_F(IncludedFiles, OnlyTheCountedNamesAreExtractedAndTheDirectoryStays) {
    fs::path exe = build("2", "a.jar;b.jar;c.jar",
                         {source("a.jar", "alpha"), source("b.jar", "bravo!"), source("c.jar", "charlie")});
    RunResult r = run(exe);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    auto dirs = runDirectories(tmp_);
    ASSERT_EQ(dirs.size(), 1u);  // a normal end leaves it to the application
    EXPECT_EQ(dirs[0], announcedDirectory(r));
    EXPECT_EQ(readBytes(dirs[0] / "a.jar"), "alpha");
    EXPECT_EQ(readBytes(dirs[0] / "b.jar"), "bravo!");
    EXPECT_FALSE(fs::exists(dirs[0] / "c.jar"));
    // The data after the extracted files begins with the third record.
    uint64_t third = fs::file_size(exe) - format::kTrailer.size() - (8 + 7);
    EXPECT_TRUE(r.traced("unextracted position: " + std::to_string(third))) << r.trace;
    EXPECT_TRUE(r.traced("extracting files done"));
}

TEST_F(IncludedFiles, EmptyNamesAreSkippedAndAnEmptyRecordCreatesNoFile) {
    RunResult r = run(build("3", ";a.jar;;empty.jar;b.jar;",
                            {source("a.jar", "alpha"), source("empty.jar", ""), source("b.jar", "bravo")}));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    fs::path dir = announcedDirectory(r);
    EXPECT_EQ(readBytes(dir / "a.jar"), "alpha");
    EXPECT_EQ(readBytes(dir / "b.jar"), "bravo");
    EXPECT_FALSE(fs::exists(dir / "empty.jar"));
    std::string windowsDir = tracedAfter(r, "Temp dir: ");
    EXPECT_TRUE(r.traced("extracting " + windowsDir + "\\empty.jar (size: 0)")) << r.trace;
}

TEST_F(IncludedFiles, ContentSurvivesByteForByte) {
    std::string content = everyByteValue(5 * 1024 * 1024 + 4321);
    RunResult r = run(build("1", "big.bin", {source("big.bin", content)}));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string windowsDir = tracedAfter(r, "Temp dir: ");
    EXPECT_TRUE(r.traced("extracting " + windowsDir + "\\big.bin (size: " + std::to_string(content.size()) + ")"));
    EXPECT_TRUE(readBytes(announcedDirectory(r) / "big.bin") == content);
}

TEST_F(IncludedFiles, OneDirectoryLevelIsCreatedBeforeTheFile) {
    RunResult r = run(build("2", "lib\\x.jar;lib\\y.jar", {source("x", "ex"), source("y", "why")}));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string windowsDir = tracedAfter(r, "Temp dir: ");
    int created = r.traceIndex("creating directory " + windowsDir + "\\lib");
    EXPECT_GE(created, 0) << r.trace;
    EXPECT_GT(r.traceIndex("extracting " + windowsDir + "\\lib\\x.jar (size: 2)"), created);
    EXPECT_FALSE(r.tracedPrefix("ERROR: "));  // the second name finds lib already there
    EXPECT_EQ(readBytes(announcedDirectory(r) / "lib" / "x.jar"), "ex");
    EXPECT_EQ(readBytes(announcedDirectory(r) / "lib" / "y.jar"), "why");
}

// Only the first backslash makes a directory. The failure comes after a file was
// extracted, and the whole partly filled directory goes.
TEST_F(IncludedFiles, DeeperNameWithoutItsDirectoryIsAFileThatCannotBeCreated) {
    RunResult r = run(build("2", "lib\\x.jar;lib\\sub\\y.jar", {source("x", "ex"), source("y", "why")}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, report(r, kInternalError + "11)"));
    EXPECT_TRUE(r.traced("extracting " + tracedAfter(r, "Temp dir: ") + "\\lib\\sub\\y.jar (size: 3)"));
    EXPECT_FALSE(fs::exists(announcedDirectory(r)));
    EXPECT_TRUE(runDirectories(tmp_).empty());
}

TEST_F(IncludedFiles, BlockEndingInsideTheDataIsAnExtractionFailure) {
    set(key::IncludedCount, "2");
    set(key::IncludedNames, "a.jar;b.jar");
    std::vector<uint8_t> block = format::serializeHead(head_);
    block = concat(block, fileRecord("whole"));
    block = concat(block, fileRecord(std::string(500, 'b'), 1000));
    RunResult r = run(buildRaw(block));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, report(r, kInternalError + "16)"));
    std::string readFailure = tracedAfter(r, "ERROR: ReadFile failed 0 ");
    EXPECT_EQ(readFailure.substr(readFailure.find(' ')), " 500") << r.trace;
    std::string windowsDir = tracedAfter(r, "Temp dir: ");
    EXPECT_TRUE(r.traced("ERROR: Failed to extract " + windowsDir + "\\b.jar"));
    // The partly written file was closed before the removal, so nothing is left.
    EXPECT_TRUE(r.traced("attempting to delete " + windowsDir + "\\b.jar"));
    EXPECT_FALSE(fs::exists(announcedDirectory(r)));
}

TEST_F(IncludedFiles, BlockEndingInsideASizeFieldFailsInTheReader) {
    set(key::IncludedCount, "1");
    set(key::IncludedNames, "a.jar");
    std::vector<uint8_t> block = concat(format::serializeHead(head_), {0x10, 0, 0});
    RunResult r = run(buildRaw(block));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, report(r, "Internal Error: readLong"));
    EXPECT_TRUE(r.tracedPrefix("error "));
    EXPECT_FALSE(fs::exists(announcedDirectory(r)));
    EXPECT_TRUE(runDirectories(tmp_).empty());
}

// A name that leads outside the temporary directory is refused before anything of it is
// written: the build tool would not make such a launcher, but a launcher can be edited.
TEST_F(IncludedFiles, NamesLeadingOutsideTheDirectoryAreRefused) {
    fs::create_directories(tmp_ / "lib");
    for (const char* text : {"..\\evil.jar", "lib\\..\\..\\evil.jar", "a/../../evil.jar", "..", "...\\evil.jar",
                             "C:\\evil.jar", "c:evil.jar", "\\evil.jar", "/evil.jar"}) {
        std::string name = text;
        SCOPED_TRACE(name);
        RunResult r = run(build("2", "first.jar;" + name, {source("first.jar", "1"), source("evil", "evil")}));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, report(r, kInternalError + "11)"));
        EXPECT_TRUE(r.traced("ERROR: refusing to extract " + name + " outside the temporary directory")) << r.trace;
        EXPECT_FALSE(r.tracedPrefix("extracting " + tracedAfter(r, "Temp dir: ") + "\\" + name));
        EXPECT_FALSE(fs::exists(announcedDirectory(r)));
        for (const fs::path& place : {tmp_ / "evil.jar", dir_ / "evil.jar", fs::path("/evil.jar"),
                                      buildDir() / "wineprefix" / "drive_c" / "evil.jar"})
            EXPECT_FALSE(fs::exists(place)) << place;
    }
}

}  // namespace
}  // namespace kestro::e2e
