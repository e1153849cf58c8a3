#include "workfiles/copy_data.h"

#include "diagnostics/trace.h"
#include "format/block_format.h"

namespace kestro {

namespace {

constexpr uint32_t kChunk = 8192;

}  // namespace

int copyFileData(format::ByteSource& source, ByteSink& target, int64_t count, bool unscramble) {
    uint8_t buffer[kChunk];
    int64_t copied = 0;
    while (copied < count) {
        uint32_t want = count - copied < kChunk ? uint32_t(count - copied) : kChunk;
        uint32_t got = 0, error = 0;
        if (!source.read(buffer, want, got, error) || got == 0) {
            traceError("ReadFile failed %d %d %I64d", int(got), int(error), static_cast<long long>(copied));
            return kCopyReadFailed;
        }
        if (unscramble) format::scramble(buffer, got);
        for (uint32_t done = 0; done < got;) {
            uint32_t written = 0;
            // A write that reports success without progress would never finish: treat it
            // as the failure it is.
            if (!target.write(buffer + done, got - done, written, error) || written == 0) {
                traceError("WriteFile failed %d %d", int(got - done), int(error));
                return kCopyWriteFailed;
            }
            done += written;
        }
        copied += got;
    }
    return 0;
}

}  // namespace kestro
