#include "workfiles/private_directory.h"

namespace kestro {

std::string privateDirectorySecurity(std::string_view userSid) {
    // P: protected, nothing inherited from the parent; OICI: files and directories
    // inside inherit the entry; FA: full access; SY: the local system.
    std::string sid(userSid);
    return "D:P(A;OICI;FA;;;" + sid + ")(A;OICI;FA;;;SY)";
}

bool trustedOwner(std::string_view ownerSid, std::string_view userSid) {
    if (ownerSid.empty()) return false;
    if (ownerSid == userSid) return true;
    // The local system, the administrators, and service SIDs (TrustedInstaller).
    return ownerSid == "S-1-5-18" || ownerSid == "S-1-5-32-544" || ownerSid.starts_with("S-1-5-80-");
}

std::string privateRootName(std::string_view userSid) { return "kst_" + std::string(userSid); }

}  // namespace kestro
