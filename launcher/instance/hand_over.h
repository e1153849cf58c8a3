// What a second start hands to the first instance, and how long it waits for its turn
// and for the first instance to take the arguments. The waits are driven through
// probes, so that their schedules hold without a clock or a second process.
#pragma once

#include <cstdint>

#include "common/function_ref.h"
#include "common/text.h"

namespace kestro {

// The notification file's text: the raw command line without the program name (a
// quoted name runs to its closing quote and then to the next blank) and the blanks
// after it, followed by "\n". Quotes in the arguments stay as typed. A name without
// closing quote or without a blank after it leaves only the "\n".
Utf16 handOverText(Utf16View commandLine);

// The text as the file holds it: UTF-16 little-endian, no byte-order mark.
std::string utf16LittleEndianBytes(Utf16View text);

// The waits for a notification file to disappear: this many polls of kFilePollMs each,
// asking every kAlivePollEvery-th poll (from the first) whether the first instance
// still runs: about ten seconds in all.
inline constexpr int kFilePolls = 200;
inline constexpr uint32_t kFilePollMs = 50;
inline constexpr int kAlivePollEvery = 5;

// The wait for the notification semaphore goes in slices; between slices it asks
// whether the first instance still runs and looks at the notification file. A second
// start that was killed while holding the semaphore never releases it, so the wait
// gives up once kTurnGiveUpMs have passed without a sign of a hand-over (the file
// appearing or disappearing): past the longest legitimate hand-over (two file waits of
// about ten seconds each), while a queue of starts that hand over one after the other
// keeps everyone waiting for their turn. The hand-over then goes on without its turn:
// the exclusive creation of the notification file still keeps two hand-overs apart.
inline constexpr uint32_t kTurnSliceMs = 250;
inline constexpr uint32_t kTurnGiveUpMs = 30000;

// Each probe is called with `context` (plain function pointers keep the stub small).
struct HandOverProbes {
    const void* context;
    bool (*fileExists)(const void* context);
    bool (*firstInstanceAlive)(const void* context);
    void (*sleep)(const void* context, uint32_t ms);
    uint32_t (*recordedPid)(const void* context);
    // Whether the process with this id runs, is not this one, and runs this executable.
    bool (*isInstanceProcess)(const void* context, uint32_t processId);
};

// The first instance records its process id just after it has created its semaphore:
// a start that comes in between reads the previous run's id (now ended, or another
// program's) or 0. The wait polls the record until it names a process of this
// executable, asking every kAlivePollEvery-th poll (from the first) whether the first
// instance still runs: at most kPidPolls polls of kFilePollMs, two seconds.
inline constexpr int kPidPolls = 40;

enum class PidWaitEnd { Found, FirstInstanceGone, NotFound };

// `processId` receives the id last read.
PidWaitEnd waitForInstancePid(const HandOverProbes& probes, uint32_t& processId);

enum class FileWaitEnd { FileGone, FirstInstanceGone, TimedOut };

// Waits while the notification file exists.
FileWaitEnd waitWhileFileExists(const HandOverProbes& probes);

enum class SliceResult { Obtained, TimedOut, Failed };
enum class TurnWaitEnd { Obtained, Failed, FirstInstanceGone, GaveUp };

// Waits for the notification semaphore: `waitSlice` waits at most the given
// milliseconds for it; `sleep` of the probes is not used.
TurnWaitEnd waitForTurn(FunctionRef<SliceResult(uint32_t)> waitSlice, const HandOverProbes& probes);

}  // namespace kestro
