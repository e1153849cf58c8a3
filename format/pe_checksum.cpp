#include "format/pe_checksum.h"

namespace kestro::format {

namespace {
uint64_t fold(uint64_t sum) {
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return sum;
}
}  // namespace

void PeChecksum::add(std::span<const uint8_t> bytes) {
    length_ += bytes.size();
    size_t i = 0;
    if (pending_ >= 0 && !bytes.empty()) {
        sum_ += uint64_t(pending_) | uint64_t(bytes[0]) << 8;
        pending_ = -1;
        i = 1;
    }
    uint64_t sum = 0;
    for (; i + 1 < bytes.size(); i += 2) sum += uint64_t(bytes[i]) | uint64_t(bytes[i + 1]) << 8;
    if (i < bytes.size()) pending_ = bytes[i];
    sum_ = fold(sum_ + fold(sum));
}

uint32_t PeChecksum::value() const {
    uint64_t sum = fold(sum_ + (pending_ >= 0 ? uint64_t(pending_) : 0));
    return uint32_t(sum + length_);
}

}  // namespace kestro::format
