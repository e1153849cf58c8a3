// A fresh directory beside the test program for tests that touch the file system, with
// small helpers to build and inspect trees in it. Removed again when the test ends.
#pragma once

#include <windows.h>

#include <string>

namespace kestro::testing {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }  // without a trailing backslash
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& content = "x");
bool exists(const std::string& path);
bool isDirectory(const std::string& path);
long long fileSize(const std::string& path);  // -1 when it cannot be read
void makeDirectory(const std::string& path);
void removeTree(const std::string& path);  // an ASCII path; what lies below may be named in any script

}  // namespace kestro::testing
