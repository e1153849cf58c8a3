// The names under which launcher processes of one executable find each other: the
// instance semaphores and the notification semaphore beside them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

// "Global\" (one instance per machine) or "Local\" (per log-on session), then the
// executable's canonical path (full, lower-cased, backslash runs collapsed) with every
// backslash and blank turned into "_", so that the path is a valid object name. Cut to
// the design's text buffer.
std::string instanceSemaphoreBase(std::string_view canonicalPath, bool global);

// The base name followed by the instance number in decimal (multi-instance mode).
std::string numberedSemaphoreName(std::string_view base, uint32_t number);

// The semaphore that admits one second start at a time to the hand-over.
std::string notificationSemaphoreName(std::string_view instanceName);

}  // namespace kestro
