#include "instance/hand_over.h"

namespace kestro {

Utf16 handOverText(Utf16View commandLine) {
    constexpr auto npos = Utf16View::npos;
    size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == u'"') at = commandLine.find(u'"', 1);
    if (at != npos) at = commandLine.find(u' ', at);
    if (at != npos) at = commandLine.find_first_not_of(u' ', at);
    Utf16 text;
    if (at != npos) text.assign(commandLine.data() + at, commandLine.size() - at);
    text.push_back(u'\n');
    return text;
}

std::string utf16LittleEndianBytes(Utf16View text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes += char(unit & 0xFF);
        bytes += char(unit >> 8);
    }
    return bytes;
}

FileWaitEnd waitWhileFileExists(const HandOverProbes& probes) {
    for (int poll = 0; poll < kFilePolls; ++poll) {
        if (!probes.fileExists(probes.context)) return FileWaitEnd::FileGone;
        if (poll % kAlivePollEvery == 0 && !probes.firstInstanceAlive(probes.context)) return FileWaitEnd::FirstInstanceGone;
        probes.sleep(probes.context, kFilePollMs);
    }
    return FileWaitEnd::TimedOut;
}

PidWaitEnd waitForInstancePid(const HandOverProbes& probes, uint32_t& processId) {
    for (int poll = 0;; ++poll) {
        processId = probes.recordedPid(probes.context);
        if (probes.isInstanceProcess(probes.context, processId)) return PidWaitEnd::Found;
        if (poll % kAlivePollEvery == 0 && !probes.firstInstanceAlive(probes.context)) return PidWaitEnd::FirstInstanceGone;
        if (poll + 1 == kPidPolls) return PidWaitEnd::NotFound;
        probes.sleep(probes.context, kFilePollMs);
    }
}

TurnWaitEnd waitForTurn(FunctionRef<SliceResult(uint32_t)> waitSlice, const HandOverProbes& probes) {
    bool fileSeen = probes.fileExists(probes.context);
    for (uint32_t quiet = 0;;) {
        SliceResult slice = waitSlice(kTurnSliceMs);
        if (slice == SliceResult::Obtained) return TurnWaitEnd::Obtained;
        if (slice == SliceResult::Failed) return TurnWaitEnd::Failed;
        if (!probes.firstInstanceAlive(probes.context)) return TurnWaitEnd::FirstInstanceGone;
        bool fileNow = probes.fileExists(probes.context);
        quiet = fileNow == fileSeen ? quiet + kTurnSliceMs : 0;
        fileSeen = fileNow;
        if (quiet >= kTurnGiveUpMs) return TurnWaitEnd::GaveUp;
    }
}

}  // namespace kestro
