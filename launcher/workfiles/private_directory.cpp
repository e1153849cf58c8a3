#include "workfiles/private_directory.h"

namespace kestro {

std::string privateDirectorySecurity(std::string_view userSid) {
    // P: protected, nothing inherited from the parent; OICI: files and directories
    // inside inherit the entry; FA: full access; SY: the local system.
    std::string text = "D:P(A;OICI;FA;;;";
    text += userSid;
    text += ")(A;OICI;FA;;;SY)";
    return text;
}

bool trustedOwner(std::string_view ownerSid, std::string_view userSid) {
    if (ownerSid.empty()) return false;
    if (ownerSid == userSid) return true;
    // The local system, the administrators, and service SIDs (TrustedInstaller).
    return ownerSid == "S-1-5-18" || ownerSid == "S-1-5-32-544" || ownerSid.starts_with("S-1-5-80-");
}

std::string privateRootName(std::string_view userSid) {
    std::string name = "kst_";
    name += userSid;
    return name;
}

}  // namespace kestro
