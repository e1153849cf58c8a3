// A readable, seekable stream of bytes with a known size: the launcher's own
// executable file, a file read by the build tool, or bytes held in memory by a test.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace kestro::format {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes at the current position into dst; got receives the number of
    // bytes delivered. Returns false when the read itself failed; error then (and on a
    // short read, where it may be stale) holds the system's error code.
    virtual bool read(void* dst, uint32_t n, uint32_t& got, uint32_t& error) = 0;
    // Moves to an absolute position. Returns false (with error) when the position is
    // not reachable.
    virtual bool seek(uint64_t pos, uint32_t& error) = 0;
    virtual uint64_t position() const = 0;
    virtual uint64_t size() const = 0;
};

// Bytes in memory; the source does not own them.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool read(void* dst, uint32_t n, uint32_t& got, uint32_t& error) override {
        uint64_t left = pos_ < bytes_.size() ? bytes_.size() - pos_ : 0;
        got = uint32_t(n < left ? n : left);
        if (got) std::memcpy(dst, bytes_.data() + pos_, got);
        pos_ += got;
        error = 0;
        return true;
    }
    bool seek(uint64_t pos, uint32_t& error) override {
        pos_ = pos;
        error = 0;
        return true;
    }
    uint64_t position() const override { return pos_; }
    uint64_t size() const override { return bytes_.size(); }

private:
    std::span<const uint8_t> bytes_;
    uint64_t pos_ = 0;
};

}  // namespace kestro::format
