#include <windows.h>

#include <cstdlib>

#include "common/environment.h"
#include "common/text.h"
#include "common/win32_handles.h"
#include "diagnostics/trace.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

std::string narrowed(const char* name, const Utf16& value) {
    bool exact = true;
    std::string text = toFileSystemText(value, &exact);
    if (!exact) trace("%s holds characters outside the code page; they read as \"?\"", name);
    return text;
}

}  // namespace

std::string environmentVariable(const char* name) {
    std::optional<std::string> value = environmentValue(name);
    if (!value || value->size() >= kTextCapacity) return std::string();
    return std::move(*value);
}

std::optional<Utf16> environmentValueUtf16(const char* name) {
    Utf16 wideName = fromFileSystemText(name);
    SetLastError(ERROR_SUCCESS);
    DWORD size = GetEnvironmentVariableW(wide(wideName), nullptr, 0);
    if (size == 0) {
        // An empty variable also reports 0, but leaves no error behind.
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return Utf16();
    }
    Utf16 value(size, u'\0');
    DWORD n = GetEnvironmentVariableW(wide(wideName), wide(value), size);
    value.resize(n < size ? n : 0);
    return value;
}

std::optional<std::string> environmentValue(const char* name) {
    std::optional<Utf16> value = environmentValueUtf16(name);
    if (!value) return std::nullopt;
    return narrowed(name, *value);
}

std::optional<std::string> directoryListValue(const char* name) {
    std::optional<Utf16> value = environmentValueUtf16(name);
    if (!value) return std::nullopt;
    std::string out;
    size_t start = 0;
    while (start <= value->size()) {
        size_t end = value->find(u';', start);
        if (end == Utf16::npos) end = value->size();
        Utf16 entry = value->substr(start, end - start);
        bool exact = true;
        std::string text = toFileSystemText(entry, &exact);
        if (!exact) {
            if (std::optional<std::string> shortForm = exactShortPathName(entry)) text = std::move(*shortForm);
            else trace("%s entry %s holds characters outside the code page", name, text.c_str());
        }
        if (start) out += ';';
        out += text;
        start = end + 1;
    }
    return out;
}

bool setEnvironmentValue(const char* name, const Utf16& value) {
    Utf16 wideName = fromFileSystemText(name);
    if (!SetEnvironmentVariableW(wide(wideName), wide(value))) return false;
    DWORD error = GetLastError();
    Utf16 entry = std::move(wideName);
    entry += u'=';
    entry += value;
    _wputenv(wide(entry));
    SetLastError(error);
    return true;
}

}  // namespace kestro
