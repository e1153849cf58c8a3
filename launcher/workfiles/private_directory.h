// Directories only the user can open. The run's temporary directory holds archives that
// go onto the class path and libraries that are loaded: in a shared place (c:\tmp, which
// every authenticated user may change) another user could add or replace them. So it is
// created with a security descriptor that lets in the user and the system alone, and a
// shared root is used only through a directory of the user's own inside it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// The security descriptor, in the system's descriptor language, of a directory that
// only the user `userSid` (text form, "S-1-5-21-...") and the system may open; what is
// created inside inherits it. The inheritance from above is cut.
std::string privateDirectorySecurity(std::string_view userSid);

// Whether a file or directory owned by `ownerSid` may be used by the user `userSid`: it
// is the user's own, or the system's, the administrators' or a service's (the owners of
// the Windows directory and its temp folder). Another user's is never used.
bool trustedOwner(std::string_view ownerSid, std::string_view userSid);

// The user's own directory inside a shared temporary root: "kst_" and the user's SID.
std::string privateRootName(std::string_view userSid);

// --- System calls (private_directory_win32.cpp) ---

// The user of this process as a SID text, computed once; none when it cannot be read.
const std::optional<std::string>& currentUserSid();

// Gives the owner of `path` as a SID text in `sid`; false, leaving `sid` as it was, when
// it cannot be read.
[[nodiscard]] bool ownerSid(const std::string& path, std::string& sid);

// Creates `path` as a private directory; false with the system's error code as the last
// error. Without the user's SID it is not created at all.
bool createPrivateDirectory(const std::string& path);

}  // namespace kestro
