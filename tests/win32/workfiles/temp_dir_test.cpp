// The temporary root and the run's temporary directory, with TMP pointed at scratch
// directories of the test.
#include <gtest/gtest.h>

#include <ctime>

#include "support/scratch_dir.h"
#include "workfiles/paths.h"
#include "workfiles/temp_dir.h"

namespace kestro {
namespace {

using namespace testing;

class TempRoot : public ::testing::Test {
protected:
    void SetUp() override {
        char value[MAX_PATH] = "";
        DWORD n = GetEnvironmentVariableA("TMP", value, MAX_PATH);
        if (n > 0 && n < MAX_PATH) savedTmp_ = value;
    }
    void TearDown() override {
        SetEnvironmentVariableA("TMP", savedTmp_.empty() ? nullptr : savedTmp_.c_str());
        tempDirPath().clear();
    }
    static void setTmp(const std::string& value) { SetEnvironmentVariableA("TMP", value.c_str()); }

    std::string savedTmp_;
};

TEST_F(TempRoot, SystemPathIsUsedWithItsSeparator) {
    ScratchDir scratch;
    setTmp(scratch.path());
    EXPECT_EQ(findTempRoot(), scratch.path() + "\\");
    EXPECT_EQ(processCommFilePath(1234), scratch.path() + "\\kst_p1234.tmp");
}

TEST_F(TempRoot, AsciiPathIsUsedUnchangedEvenWhenItCannotBeCreated) {
    ScratchDir scratch;
    setTmp(scratch / "fresh");
    EXPECT_EQ(findTempRoot(), scratch / "fresh\\");
    EXPECT_TRUE(isDirectory(scratch / "fresh"));  // created on the way

    setTmp(scratch / "no\\such");
    EXPECT_EQ(findTempRoot(), scratch / "no\\such\\");
    EXPECT_FALSE(exists(scratch / "no"));
}

// The short 8.3 form of a directory with Cyrillic letters is plain ASCII, but its long
// form cannot be written in a Western code page.
TEST_F(TempRoot, PathOutsideTheAnsiCodePageFallsBackToTheWindowsTemp) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "the ANSI code page represents every character";
    ScratchDir scratch;
    std::wstring longForm = std::wstring(scratch.path().begin(), scratch.path().end()) + L"\\\x041F\x0440\x0438\x043C\x0435\x0440";
    ASSERT_TRUE(CreateDirectoryW(longForm.c_str(), nullptr));
    wchar_t shortForm[MAX_PATH];
    DWORD n = GetShortPathNameW(longForm.c_str(), shortForm, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    if (longForm == shortForm) GTEST_SKIP() << "the file system keeps no short names";
    SetEnvironmentVariableW(L"TMP", shortForm);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(findTempRoot(), std::string(windows) + "\\temp\\");
    EXPECT_FALSE(exists(std::string(windows) + "\\temp\\kst_w_testdir"));
}

TEST_F(TempRoot, WritableDirectoryTestLeavesNothingBehind) {
    ScratchDir scratch;
    EXPECT_TRUE(isWritableDirectory(scratch.path()));
    EXPECT_FALSE(exists(scratch / "kst_w_testdir"));
    EXPECT_FALSE(isWritableDirectory(scratch / "missing"));
}

TEST_F(TempRoot, UniqueNameIsAnEmptyFileInTheRoot) {
    ScratchDir scratch;
    setTmp(scratch.path());
    std::string name = uniqueTempName();
    std::string prefix = scratch.path() + "\\kst";
    EXPECT_EQ(name.rfind(prefix, 0), 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    EXPECT_EQ(fileSize(name), 0);
    EXPECT_NE(uniqueTempName(), name);
}

TEST_F(TempRoot, TemporaryDirectoryIsTheUniqueNameWithTheTime) {
    ScratchDir scratch;
    setTmp(scratch.path());
    long long before = std::time(nullptr);
    createTempDir();
    long long after = std::time(nullptr);
    std::string dir = tempDirPath();
    ASSERT_TRUE(isDirectory(dir)) << dir;

    size_t cut = dir.rfind("_dir");
    ASSERT_NE(cut, std::string::npos);
    std::string unique = dir.substr(0, cut);
    long long seconds = std::stoll(dir.substr(cut + 4));
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    EXPECT_EQ(unique.rfind(scratch.path() + "\\kst", 0), 0u) << unique;
    EXPECT_EQ(fileSize(unique), 0);  // the reserved name stays behind as an empty file
}

}  // namespace
}  // namespace kestro
