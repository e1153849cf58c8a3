// The temporary root and the run's temporary directory, with TMP pointed at the test's
// folder.
#include <ctime>

#include "support/win32_test.h"
#include "workfiles/run_directory.h"
#include "workfiles/temp_dir.h"

namespace kestro::test {
namespace {

class TempRoot : public Win32Test {
protected:
    void SetUp() override {
        Win32Test::SetUp();
        char value[MAX_PATH] = "";
        DWORD n = GetEnvironmentVariableA("TMP", value, MAX_PATH);
        if (n > 0 && n < MAX_PATH) savedTmp_ = value;
    }
    void TearDown() override {
        SetEnvironmentVariableA("TMP", savedTmp_.empty() ? nullptr : savedTmp_.c_str());
        tempDirPath().clear();
        Win32Test::TearDown();
    }
    static void setTmp(const fs::path& value) { SetEnvironmentVariableA("TMP", text(value).c_str()); }

    std::string savedTmp_;
};

TEST_F(TempRoot, AsciiPathIsUsedWithItsSeparatorEvenWhenItCannotBeCreated) {
    setTmp(dir_);
    EXPECT_EQ(findTempRoot(), text(dir_) + "\\");
    EXPECT_EQ(processCommFilePath(1234), text(dir_) + "\\kst_p1234.tmp");

    setTmp(dir_ / "fresh");
    EXPECT_EQ(findTempRoot(), text(dir_ / "fresh") + "\\");
    EXPECT_TRUE(fs::is_directory(dir_ / "fresh"));  // created on the way

    setTmp(dir_ / "no" / "such");
    EXPECT_EQ(findTempRoot(), text(dir_ / "no" / "such") + "\\");
    EXPECT_FALSE(fs::exists(dir_ / "no"));
}

// The short 8.3 form of a directory with Cyrillic letters is plain ASCII, but its long
// form cannot be written in a Western code page.
TEST_F(TempRoot, PathOutsideTheAnsiCodePageFallsBackToTheWindowsTemp) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "the ANSI code page represents every character";
    std::wstring longForm = (dir_ / L"\x041F\x0440\x0438\x043C\x0435\x0440").wstring();
    ASSERT_TRUE(CreateDirectoryW(longForm.c_str(), nullptr));
    wchar_t shortForm[MAX_PATH];
    DWORD n = GetShortPathNameW(longForm.c_str(), shortForm, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    if (longForm == shortForm) GTEST_SKIP() << "the file system keeps no short names";
    SetEnvironmentVariableW(L"TMP", shortForm);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(findTempRoot(), std::string(windows) + "\\temp\\");
    EXPECT_FALSE(fs::exists(std::string(windows) + "\\temp\\kst_w_testdir"));
}

// The directory is the unique name followed by "_dir" and the time; the name's empty
// file has gone, and the directory holds its marker.
TEST_F(TempRoot, TemporaryDirectoryIsTheUniqueNameWithTheTime) {
    setTmp(dir_);
    long long before = std::time(nullptr);
    createTempDir();
    long long after = std::time(nullptr);
    std::string made = tempDirPath();
    ASSERT_TRUE(fs::is_directory(made)) << made;
    EXPECT_TRUE(fs::exists(made + "\\kst_lock"));
    EXPECT_FALSE(DeleteFileA((made + "\\kst_lock").c_str()));  // held without delete sharing

    size_t cut = made.rfind("_dir");
    ASSERT_NE(cut, std::string::npos);
    std::string unique = made.substr(0, cut);
    long long seconds = std::stoll(made.substr(cut + 4));
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    EXPECT_EQ(unique.rfind(text(dir_) + "\\kst", 0), 0u) << unique;
    EXPECT_EQ(unique.substr(unique.size() - 4), ".tmp");
    EXPECT_FALSE(fs::exists(unique));
    removeOwnRunDirectory();
}

// A root so long that the unique file fits in a path and the directory beside it does
// not: each of the ten attempts selects the root anew and reserves a unique file, which
// it deletes again, then the start ends.
TEST_F(TempRoot, TenFailedAttemptsEndTheStartAndLeaveNothing) {
    fs::path root = dir_ / std::string(245 - 1 - text(dir_).size() - 1, 'r');  // 245 with GetTempPath's backslash
    fs::create_directories(root);
    setTmp(root);
    try {
        createTempDir();
        ADD_FAILURE() << "made " << tempDirPath();
    } catch (const LauncherExit& exit) {
        EXPECT_EQ(exit.code, 1u);
    }
    int failures = 0, roots = 0;
    for (const std::string& line : trace_.lines()) {
        failures += line.starts_with("Could not create dir (");
        roots += line == "tempPath is " + text(root) + "\\";
    }
    EXPECT_EQ(failures, 10) << trace_.text();
    EXPECT_EQ(roots, 10);
    EXPECT_TRUE(fs::is_empty(root));
}

}  // namespace
}  // namespace kestro::test
