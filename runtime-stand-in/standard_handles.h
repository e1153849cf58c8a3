// Start-up information that hands a child this process's standard handles explicitly:
// Wine gives a windowed program none of its own, so without them its output is lost.
#pragma once

#include <windows.h>

namespace stand_in {

inline STARTUPINFOW withOwnStandardHandles() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    return startup;
}

}  // namespace stand_in
