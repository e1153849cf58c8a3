// The temporary root and the run's temporary directory, with TMP pointed at the test's
// folder.
#include <ctime>
#include <set>

#include "support/win32_test.h"
#include "workfiles/private_directory.h"
#include "workfiles/run_directory.h"
#include "workfiles/temp_dir.h"

#include <aclapi.h>
#include <sddl.h>

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

// The access list of a directory as the system reads it back, in its descriptor language.
std::string accessList(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return "<unreadable>";
    char* textForm = nullptr;
    std::string out = ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                           DACL_SECURITY_INFORMATION, &textForm, nullptr)
                          ? textForm
                          : "<unconvertible>";
    LocalFree(textForm);
    LocalFree(descriptor);
    return out;
}

// The entries of an access list, sorted: Wine keeps a directory's entries but not their
// order, nor the mark that nothing is inherited from above.
std::multiset<std::string> entries(const std::string& accessList) {
    std::multiset<std::string> out;
    for (size_t open = accessList.find('('); open != std::string::npos; open = accessList.find('(', open + 1))
        out.insert(accessList.substr(open, accessList.find(')', open) - open + 1));
    return out;
}

// Only the user and the system, with full access, for everything inside too.
std::multiset<std::string> privateEntries() {
    return {"(A;OICI;FA;;;" + currentUserSid().value_or("?") + ")", "(A;OICI;FA;;;SY)"};
}

// A directory with Cyrillic letters cannot be written in a Western code page, but its
// short 8.3 form is plain ASCII: the user's own folder is kept through it. Without a
// short form (a directory not made yet) the Windows temp folder serves, through a
// private directory of the user's own inside it.
TEST_F(TempRoot, PathOutsideTheAnsiCodePageIsUsedThroughItsShortForm) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "the ANSI code page represents every character";
    std::wstring longForm = (dir_ / L"\x041F\x0440\x0438\x043C\x0435\x0440").wstring();
    ASSERT_TRUE(CreateDirectoryW(longForm.c_str(), nullptr));
    wchar_t shortForm[MAX_PATH];
    DWORD n = GetShortPathNameW(longForm.c_str(), shortForm, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    if (longForm == shortForm) GTEST_SKIP() << "the file system keeps no short names";
    for (const std::wstring& tmp : {longForm, std::wstring(shortForm)}) {
        SetEnvironmentVariableW(L"TMP", tmp.c_str());
        EXPECT_EQ(findTempRoot(), text(fs::path(shortForm)) + "\\");
    }

    SetEnvironmentVariableW(L"TMP", (longForm + L"\\not made").c_str());
    ASSERT_TRUE(currentUserSid());
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string own = std::string(windows) + "\\temp\\kst_" + *currentUserSid();
    EXPECT_EQ(findTempRoot(), own + "\\");
    EXPECT_EQ(entries(accessList(own)), privateEntries()) << accessList(own);
    EXPECT_FALSE(fs::exists(std::string(windows) + "\\temp\\kst_w_testdir"));
    RemoveDirectoryA(own.c_str());
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
    EXPECT_EQ(entries(accessList(made)), privateEntries()) << accessList(made);

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
