// Reading the launcher's own executable file.
#pragma once

#include <windows.h>

#include "common/win32_handles.h"
#include "format/byte_source.h"

namespace kestro {

// Opens the launcher's executable for reading; ends the process with a report when it
// cannot be opened.
UniqueFile openOwnExecutable();

// An open file as a byte source: one system read per call.
class FileSource final : public format::ByteSource {
public:
    explicit FileSource(HANDLE file);
    bool read(void* dst, uint32_t n, uint32_t& got, uint32_t& error) override;
    bool seek(uint64_t pos, uint32_t& error) override;
    uint64_t position() const override { return position_; }
    uint64_t size() const override { return size_; }

private:
    HANDLE file_;
    uint64_t position_ = 0;
    uint64_t size_ = 0;
};

}  // namespace kestro
