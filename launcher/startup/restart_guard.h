// Restarting the launcher when the application ends with one of the configured exit
// codes (key 10206), at most kRestartsPerMinute times within a minute so that an
// application that always asks for a restart cannot loop for ever.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

inline constexpr size_t kRestartsPerMinute = 5;

// The variable through which a restarted launcher learns when the earlier restarts were.
inline constexpr const char* kRestartHistoryVariable = "KESTRO_RESTART_HISTORY";

// Whether `code` is one of the stored ";"-separated exit codes.
bool isRestartCode(std::string_view stored, int32_t code);

// The times (seconds) of the restarts of the last minute before `now`, from the
// variable's ","-separated text; anything else in it is passed over.
std::vector<int64_t> recentRestarts(std::string_view history, int64_t now);

// The variable's text for the next process: the recent restarts and `now`.
std::string nextRestartHistory(const std::vector<int64_t>& recent, int64_t now);

// Ends this process: with the exit code of a new start of the launcher (same command
// line) when `code` is a restart code and the guard allows it; otherwise returns, and
// the caller ends with `code` as it would have.
void restartOnExitCode(int32_t code);

// Reads and removes the restart history, before the application can see it.
void takeRestartHistory();

}  // namespace kestro
