// A ByteSource over a file opened for reading, for inspecting a built launcher.
#pragma once

#include <filesystem>

#include "format/byte_source.h"
#include "format/native_file.h"

namespace kestro::tool {

class FileSource final : public format::ByteSource {
public:
    // Throws std::runtime_error naming the file when it cannot be opened.
    explicit FileSource(const std::filesystem::path& path);

    bool read(void* dst, uint32_t n, uint32_t& got, uint32_t& error) override;
    bool seek(uint64_t pos, uint32_t& error) override;
    uint64_t position() const override { return position_; }
    uint64_t size() const override { return size_; }

private:
    format::UniqueFile file_;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
};

}  // namespace kestro::tool
