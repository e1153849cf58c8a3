#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include "common/win32_handles.h"
#include "workfiles/private_directory.h"

namespace kestro {

namespace {

bool sidText(PSID sid, std::string& out) {
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return false;
    out = text;
    LocalFree(text);
    return true;
}

std::optional<std::string> readUserSid() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return std::nullopt;
    UniqueHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    // The user's SID is small; a size beyond this is not one the system gives.
    if (size == 0 || size > 1024) return std::nullopt;
    std::string buffer(size, '\0');
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return std::nullopt;
    std::string text;
    if (!sidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, text)) return std::nullopt;
    return text;
}

}  // namespace

const std::optional<std::string>& currentUserSid() {
    static const std::optional<std::string> sid = readUserSid();
    return sid;
}

bool ownerSid(const std::string& path, std::string& sid) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    bool known = owner && sidText(owner, sid);
    LocalFree(descriptor);
    return known;
}

bool createPrivateDirectory(const std::string& path) {
    const std::optional<std::string>& user = currentUserSid();
    if (!user) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(privateDirectorySecurity(*user).c_str(),
                                                              SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    BOOL created = CreateDirectoryA(path.c_str(), &attributes);
    DWORD error = GetLastError();
    LocalFree(descriptor);
    SetLastError(error);
    return created;
}

}  // namespace kestro
