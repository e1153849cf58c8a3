// The names under which launcher processes of one executable find each other: the
// instance semaphores and the notification semaphore beside them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

// Windows refuses object names of MAX_PATH (260) characters or more.
inline constexpr size_t kLongestObjectName = 259;

// "Global\" (one instance per machine) or "Local\" (per log-on session), then the
// executable's canonical path (full, lower-cased, backslash runs collapsed) with every
// backslash and blank turned into "_", then `suffix`. A name longer than Windows takes
// is shortened to the longest head that leaves room for "~", 16 hexadecimal digits of a
// hash of the whole canonical path and the suffix: the same for every start of one
// executable, different for two executables whose paths differ only beyond the head.
// Bytes are counted, so a multi-byte code page only errs towards shortening.
std::string instanceObjectName(std::string_view canonicalPath, bool global, std::string_view suffix = {});

// The name followed by the instance number in decimal (multi-instance mode).
std::string numberedSemaphoreName(std::string_view canonicalPath, bool global, uint32_t number);

// The semaphore that admits one second start at a time to the hand-over.
std::string notificationSemaphoreName(std::string_view canonicalPath, bool global);

}  // namespace kestro
