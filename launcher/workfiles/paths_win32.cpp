#include <windows.h>

#include "common/win32_handles.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

UINT fileCodePage() { return AreFileApisANSI() ? CP_ACP : CP_OEMCP; }

bool endsWithExe(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = char(c + ('a' - 'A'));
    return tail == ".exe";
}

// A candidate module path is usable by the 8-bit file functions when it converts
// without replacement and still looks like our executable.
bool usableModulePath(const Utf16& path, std::string& out) {
    bool exact = false;
    out = toFileSystemText(path, &exact);
    return exact && endsWithExe(out);
}

Utf16 callWide(DWORD (*fill)(const wchar_t*, wchar_t*, DWORD), const Utf16& in) {
    Utf16 out(kTextCapacity, u'\0');
    DWORD n = fill(wide(in), wide(out), DWORD(out.size()));
    out.resize(n < out.size() ? n : 0);
    return out;
}

std::string computeModulePath() {
    using LongPathFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
    HMODULE kernel = LoadLibraryA("Kernel32.DLL");
    auto getLongPath = kernel ? reinterpret_cast<LongPathFn>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetLongPathNameW"))) : nullptr;
    std::string path;
    if (getLongPath) {
        Utf16 module(kTextCapacity, u'\0');
        module.resize(GetModuleFileNameW(nullptr, wide(module), DWORD(module.size())));
        Utf16 longForm = callWide(getLongPath, module);
        if (!usableModulePath(longForm, path)) {
            Utf16 shortForm = callWide([](const wchar_t* a, wchar_t* b, DWORD c) { return GetShortPathNameW(a, b, c); },
                                       longForm);
            if (!usableModulePath(shortForm, path)) {
                std::string narrow(kTextCapacity, '\0');
                narrow.resize(GetModuleFileNameA(nullptr, narrow.data(), DWORD(narrow.size())));
                path.assign(kTextCapacity, '\0');
                DWORD m = GetShortPathNameA(narrow.c_str(), path.data(), DWORD(path.size()));
                path.resize(m < path.size() ? m : 0);
            }
        }
    } else {
        path.assign(kTextCapacity, '\0');
        path.resize(GetModuleFileNameA(nullptr, path.data(), DWORD(path.size())));
    }
    collapseBackslashes(path);
    return path;
}


}  // namespace

std::string toFileSystemText(Utf16View text, bool* exact) {
    if (text.empty()) {
        if (exact) *exact = true;
        return {};
    }
    UINT cp = fileCodePage();
    auto src = reinterpret_cast<const wchar_t*>(text.data());
    // UTF-8 code pages refuse the replacement flags; they represent every character.
    bool utf8 = GetACP() == CP_UTF8 && cp == CP_ACP;
    // Without WC_NO_BEST_FIT_CHARS a character the code page lacks may become a
    // look-alike (an omega as "O") without being reported as replaced: a path would
    // then name another file, and a trace would show a text that was never given.
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(cp, flags, src, int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    BOOL replaced = FALSE;
    WideCharToMultiByte(cp, flags, src, int(text.size()), out.data(), n, utf8 ? nullptr : "?",
                        utf8 ? nullptr : &replaced);
    if (exact) *exact = !replaced;
    return out;
}

Utf16 fromFileSystemText(std::string_view text) {
    if (text.empty()) return {};
    UINT cp = fileCodePage();
    int n = MultiByteToWideChar(cp, 0, text.data(), int(text.size()), nullptr, 0);
    Utf16 out(size_t(n > 0 ? n : 0), u'\0');
    MultiByteToWideChar(cp, 0, text.data(), int(text.size()), wide(out), n);
    return out;
}

const std::string& getModulePath() {
    static std::string path = computeModulePath();
    return path;
}

const std::string& moduleDirectory() {
    static std::string directory = directoryPart(systemFullPath(getModulePath()));
    return directory;
}

namespace {

// Applies a rule of the UTF-16 text to an 8-bit path: a path the code page cannot hold
// after the change stays as it was.
void changeAsUtf16(std::string& path, void (*rule)(Utf16&)) {
    Utf16 text = fromFileSystemText(path);
    rule(text);
    bool exact = false;
    std::string back = toFileSystemText(text, &exact);
    if (exact) path = std::move(back);
}

}  // namespace

void collapseBackslashes(std::string& path) { changeAsUtf16(path, collapseBackslashRuns); }

std::string resolveAgainst(std::string_view path, const char* baseFile) {
    std::string out;
    if (isRelativePath(path)) out = baseFile ? directoryPart(systemFullPath(baseFile)) : moduleDirectory();
    out += path;
    collapseBackslashes(out);
    return out;
}

std::string fullPath(std::string_view path, bool keepCase) {
    std::string out = systemFullPath(resolveAgainst(path));
    if (!keepCase) lowerCasePath(out);
    collapseBackslashes(out);
    return out;
}

std::string systemFullPath(const std::string& path) {
    std::string out(kTextCapacity, '\0');
    DWORD n = GetFullPathNameA(path.c_str(), DWORD(out.size()), out.data(), nullptr);
    out.resize(n < out.size() ? n : 0);
    return out;
}

namespace {

std::optional<std::string> convertedPath(DWORD (*convert)(LPCSTR, LPSTR, DWORD), const std::string& path,
                                         size_t capacity) {
    std::string out(capacity, '\0');
    DWORD n = convert(path.c_str(), out.data(), DWORD(out.size()));
    if (n == 0 || n >= out.size()) return std::nullopt;
    out.resize(n);
    return out;
}

}  // namespace

std::optional<std::string> longPathName(const std::string& path, size_t capacity) {
    return convertedPath([](LPCSTR a, LPSTR b, DWORD c) { return GetLongPathNameA(a, b, c); }, path, capacity);
}

std::optional<std::string> shortPathName(const std::string& path, size_t capacity) {
    return convertedPath([](LPCSTR a, LPSTR b, DWORD c) { return GetShortPathNameA(a, b, c); }, path, capacity);
}

namespace {

// The form of `path` that `fill` gives, as 8-bit text; none when the call fails or the
// code page lacks a character of it.
std::optional<std::string> exactForm(DWORD (*fill)(const wchar_t*, wchar_t*, DWORD), const Utf16& path) {
    bool exact = false;
    std::string text = toFileSystemText(callWide(fill, path), &exact);
    if (text.empty() || !exact) return std::nullopt;
    return text;
}

}  // namespace

std::optional<std::string> exactLongPathName(const std::string& path) {
    return exactForm([](const wchar_t* a, wchar_t* b, DWORD c) { return GetLongPathNameW(a, b, c); },
                     fromFileSystemText(path));
}

std::optional<std::string> exactShortPathName(const Utf16& path) {
    return exactForm([](const wchar_t* a, wchar_t* b, DWORD c) { return GetShortPathNameW(a, b, c); }, path);
}

std::string windowsDirectory(size_t capacity) {
    std::string dir(capacity, '\0');
    UINT n = GetWindowsDirectoryA(dir.data(), UINT(dir.size()));
    dir.resize(n < dir.size() ? n : 0);
    return dir;
}

void lowerCasePath(std::string& path) { changeAsUtf16(path, lowerAsciiLetters); }

namespace {

uint64_t fileTime(const FILETIME& time) { return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

}  // namespace

bool findFileTime(const std::string& path, uint64_t* lastWrite) {
    // The answer is the directory search's, but for a plain file name one attribute
    // query gives it without opening and closing a search handle: under Wine a tenth of
    // the cost, which counts when a thousand located runtimes are checked. Wildcards,
    // directories (a search finds no root and no name with a trailing backslash) and a
    // refused query (a file locked or shielded while its directory may be listed)
    // still take the search.
    if (path.find_first_of("*?<>\"") == std::string::npos) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                if (lastWrite) *lastWrite = fileTime(data.ftLastWriteTime);
                return true;
            }
        } else {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
        }
    }
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA(path.c_str(), &found));
    if (!search) return false;
    if (lastWrite) *lastWrite = fileTime(found.ftLastWriteTime);
    return true;
}

bool pathExists(const std::string& path) { return isDriveRootText(path) || findFileTime(path); }

std::string resolvePathList(std::string_view list) {
    std::string out;
    for (const std::string& item : splitList(truncated(std::string(list)))) {
        if (!out.empty()) out += ';';
        out += resolveAgainst(item);
    }
    return out;
}

}  // namespace kestro
