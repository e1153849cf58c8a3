// Copying a byte count from one stream to another in small chunks, unscrambling on the
// way; no file is ever held in memory as a whole.
#pragma once

#include <cstdint>

#include "format/byte_source.h"

namespace kestro {

// Where copied bytes go: the target file of an extraction.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes up to n bytes; `written` receives how many were written. Returns false
    // when the write failed; `error` then holds the system's error code.
    virtual bool write(const void* src, uint32_t n, uint32_t& written, uint32_t& error) = 0;
};

inline constexpr int kCopyReadFailed = 1;
inline constexpr int kCopyWriteFailed = 2;

// Copies `count` bytes from the source's position to the target through one buffer of
// 8192 bytes, XORing each byte with the block's scrambling mask when `unscramble` is set.
// Returns 0, kCopyReadFailed (a failed read or the source's end came first) or
// kCopyWriteFailed, each failure with its error trace.
int copyFileData(format::ByteSource& source, ByteSink& target, int64_t count, bool unscramble);

}  // namespace kestro
