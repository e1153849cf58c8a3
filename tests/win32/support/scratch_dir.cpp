#include "support/scratch_dir.h"

#include "workfiles/paths.h"

namespace kestro::testing {

ScratchDir::ScratchDir() {
    static int counter = 0;
    path_ = moduleDirectory() + "scratch_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    removeTree(path_);
    makeDirectory(path_);
}

ScratchDir::~ScratchDir() { removeTree(path_); }

void writeFile(const std::string& path, const std::string& content) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(h);
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool isDirectory(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

long long fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

void makeDirectory(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

namespace {

// Wide, so that names outside the ANSI code page go too.
void removeTreeW(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            DWORD attributes = entry.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                if (!RemoveDirectoryW(child.c_str())) DeleteFileW(child.c_str());  // the link, not its target
            } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTreeW(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

void removeTree(const std::string& path) { removeTreeW(std::wstring(path.begin(), path.end())); }

}  // namespace kestro::testing
