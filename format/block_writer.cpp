#include "format/block_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <system_error>

#include "format/native_file.h"
#include "format/pe_checksum.h"

namespace kestro::format {

namespace fs = std::filesystem;

namespace {

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void putU64(std::vector<uint8_t>& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void putBytes(std::vector<uint8_t>& out, const std::string& s) {
    putU32(out, uint32_t(s.size()));
    out.insert(out.end(), s.begin(), s.end());
}
void putWide(std::vector<uint8_t>& out, const WideEntry& e) {
    putU32(out, uint32_t(e.key));
    putU32(out, uint32_t(e.value.size() * 2));
    for (char16_t c : e.value) {
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
    }
}

std::string systemError(const std::string& what, const fs::path& path) {
    return what + " " + pathText(path) + ": " + std::strerror(errno);
}

// The output file and the checksum of everything written to it.
struct Output {
    std::FILE* file;
    PeChecksum checksum;

    bool write(const void* data, size_t n) {
        checksum.add({static_cast<const uint8_t*>(data), n});
        return std::fwrite(data, 1, n, file) == n;
    }
};

// Copies one included file as its record: the size, then the bytes scrambled.
bool writeRecord(Output& out, const IncludedFile& file, uint64_t& done, uint64_t total, std::string& error,
                 const ProgressFn& progress) {
    std::error_code ec;
    uint64_t size = fs::file_size(file.source, ec);
    if (ec) {
        error = "cannot read included file " + pathText(file.source) + ": " + ec.message();
        return false;
    }
    UniqueFile in = openForReading(file.source);
    if (!in) {
        error = systemError("cannot open included file", file.source);
        return false;
    }
    std::vector<uint8_t> sizeField;
    putU64(sizeField, size);
    if (!out.write(sizeField.data(), sizeField.size())) return false;

    std::vector<uint8_t> chunk(1 << 16);
    uint64_t copied = 0;
    while (copied < size) {
        size_t want = size_t(std::min<uint64_t>(chunk.size(), size - copied));
        size_t got = std::fread(chunk.data(), 1, want, in.get());
        if (got == 0) {
            error = "included file " + pathText(file.source) + " changed while it was read";
            return false;
        }
        scramble(chunk.data(), got);
        if (!out.write(chunk.data(), got)) return false;
        copied += got;
        done += got;
        if (progress) progress(done, total);
    }
    return true;
}

std::string_view describeType(fs::file_type type) {
    switch (type) {
    case fs::file_type::directory: return "a directory";
    case fs::file_type::block: return "a block device";
    case fs::file_type::character: return "a character device";
    case fs::file_type::fifo: return "a named pipe";
    case fs::file_type::socket: return "a socket";
    default: return "not a regular file";
    }
}

// The file that writing `out` replaces: `out` itself, or the end of its chain of
// symbolic links, which need not exist yet. Only a regular file or a new one may be
// replaced: renaming over a device or a pipe would put a launcher in its place.
bool resolveOutput(const fs::path& out, fs::path& target, std::string& error) {
    target = out;
    for (int links = 0;; ++links) {
        std::error_code ec;
        fs::file_status status = fs::symlink_status(target, ec);
        fs::file_type type = status.type();
        if (type == fs::file_type::not_found || type == fs::file_type::regular) return true;
        std::string where =
            "cannot write " + pathText(out) + (target == out ? "" : " (a link to " + pathText(target) + ")");
        if (type == fs::file_type::none) {
            error = where + ": " + ec.message();
            return false;
        }
        if (type != fs::file_type::symlink) {
            error = where + ": it is " + std::string(describeType(type));
            if (type != fs::file_type::directory) error += "; only a regular file is replaced";
            return false;
        }
        // As the system resolves them: 40 links deep at most.
        fs::path next = fs::read_symlink(target, ec);
        if (ec || links == 40) {
            error = where + ": " + (ec ? ec.message() : "too many levels of symbolic links");
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
}

// Creates a new file beside `target` for the launcher; never opens an existing one, so
// a name planted in a shared directory cannot redirect the write.
UniqueFile createTemporary(const fs::path& target, fs::path& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target;
        temp += ".kestro-" + std::to_string(processId()) + "-" + std::to_string(attempt) + ".tmp";
        if (UniqueFile file = createNewFile(temp)) return file;
        if (errno != EEXIST) break;
    }
    return nullptr;
}

// The message for a launcher beyond the 2 GB the block format addresses; names the
// largest included files, which are what a user can leave out.
std::string tooLarge(uint64_t total, std::vector<std::pair<uint64_t, std::string>> sizes) {
    std::string text = "the launcher would be " + std::to_string(total) + " bytes; the block format ends at 2 GB (" +
                       std::to_string(std::numeric_limits<int32_t>::max()) + " bytes)";
    std::ranges::sort(sizes, std::greater{});
    for (size_t i = 0; i < sizes.size() && i < 3; ++i)
        text += (i ? ", " : "; largest included files: ") + sizes[i].second + " (" + std::to_string(sizes[i].first) +
                " bytes)";
    return text;
}

}  // namespace

bool loadStub(const fs::path& path, Stub& stub, std::string& error) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        error = "stub " + pathText(path) + " does not exist or is not a file";
        return false;
    }
    uint64_t size = fs::file_size(path, ec);
    UniqueFile in = openForReading(path);
    if (ec || !in) {
        error = systemError("cannot read stub", path);
        return false;
    }
    // Headers and section table lie within the first 4 KB of any image we build; read
    // a little more so that an unusual but valid header still fits.
    std::vector<uint8_t> head(size_t(std::min<uint64_t>(size, 64 * 1024)));
    if (std::fread(head.data(), 1, head.size(), in.get()) != head.size()) {
        error = systemError("cannot read stub", path);
        return false;
    }
    std::string why;
    auto layout = parsePeLayout(head, size, why);
    if (!layout) {
        error = "stub " + pathText(path) + " is not a Kestro launcher stub: " + why;
        return false;
    }
    stub.layout = *layout;
    stub.image.resize(layout->blockOffset);
    if (std::fseek(in.get(), 0, SEEK_SET) != 0 ||
        std::fread(stub.image.data(), 1, stub.image.size(), in.get()) != stub.image.size()) {
        error = systemError("cannot read stub", path);
        return false;
    }
    // A signature of the stub does not survive the appended block; drop its entry so the
    // result does not point at data that is no longer there.
    if (layout->certificateEntryOffset && layout->certificateOffset >= layout->blockOffset) {
        std::memset(stub.image.data() + layout->certificateEntryOffset, 0, 8);
        stub.layout.certificateOffset = stub.layout.certificateSize = 0;
    }
    return true;
}

void setSubsystem(Stub& stub, uint16_t subsystem) {
    stub.image[stub.layout.subsystemOffset] = uint8_t(subsystem);
    stub.image[stub.layout.subsystemOffset + 1] = uint8_t(subsystem >> 8);
    stub.layout.subsystem = subsystem;
}

std::vector<uint8_t> serializeHead(const BlockHead& head) {
    std::vector<uint8_t> out;
    putU32(out, kMagic);
    putU32(out, 0);
    putU32(out, 0);
    putU64(out, 0);  // head size, filled in below
    putU32(out, uint32_t(head.strings.size()));
    for (const auto& e : head.strings) {
        putU32(out, uint32_t(e.key));
        putBytes(out, e.value);
    }
    putU32(out, uint32_t(head.wides.size()));
    for (const auto& e : head.wides) putWide(out, e);
    putU32(out, uint32_t(head.localeSets.size()));
    for (const auto& set : head.localeSets) {
        putBytes(out, set.prefix);
        putU32(out, uint32_t(set.entries.size()));
        for (const auto& e : set.entries) putWide(out, e);
    }
    uint64_t headSize = out.size() - kHeadSizeFieldOffset;
    for (int i = 0; i < 8; ++i) out[kHeadSizeFieldOffset + i] = uint8_t(headSize >> (8 * i));
    return out;
}

bool writeLauncher(const Stub& stub, const BlockHead& head, const std::vector<IncludedFile>& files, const fs::path& out,
                   std::string& error, const ProgressFn& progress) {
    fs::path target;
    if (!resolveOutput(out, target, error)) return false;
    std::vector<uint8_t> block = serializeHead(head);
    uint64_t data = 0;  // the included files' bytes, which is what progress counts
    std::vector<std::pair<uint64_t, std::string>> sizes;
    for (const auto& f : files) {
        std::error_code ec;
        uint64_t size = fs::file_size(f.source, ec);
        if (ec) {
            error = "cannot read included file " + pathText(f.source) + ": " + ec.message();
            return false;
        }
        data += size;
        sizes.emplace_back(size, pathText(f.source));
    }
    // File positions in the launcher are 32-bit values.
    uint64_t total = stub.image.size() + block.size() + 8 * files.size() + data + kTrailer.size();
    if (total > uint64_t(std::numeric_limits<int32_t>::max())) {
        error = tooLarge(total, std::move(sizes));
        return false;
    }

    fs::path temp;
    UniqueFile file = createTemporary(target, temp);
    if (!file) {
        error = systemError("cannot write", out);
        return false;
    }
    // The image's checksum covers the whole file, so it is known only at the end; its
    // field counts as zero meanwhile.
    Output output{file.get(), {}};
    std::vector<uint8_t> image = stub.image;
    size_t checksumAt = stub.layout.checksumOffset;
    bool sum = checksumAt && checksumAt + 4 <= image.size();  // a stub loadStub read always has the field
    if (sum) std::fill_n(image.begin() + checksumAt, 4, 0);
    bool ok = output.write(image.data(), image.size()) && output.write(block.data(), block.size());
    uint64_t done = 0;
    for (size_t i = 0; ok && i < files.size(); ++i) ok = writeRecord(output, files[i], done, data, error, progress);
    ok = ok && output.write(kTrailer.data(), kTrailer.size());
    std::vector<uint8_t> checksum;
    putU32(checksum, output.checksum.value());
    ok = ok && (!sum || (seekTo(file.get(), checksumAt) &&
                         std::fwrite(checksum.data(), 1, checksum.size(), file.get()) == checksum.size()));
    ok = std::fclose(file.release()) == 0 && ok;
    std::error_code ec;
    if (ok) {
        fs::rename(temp, target, ec);
        if (!ec) return true;
        error = "cannot write " + pathText(out) + ": " + ec.message();
    } else if (error.empty()) {
        error = systemError("cannot write", out);
    }
    fs::remove(temp, ec);
    return false;
}

}  // namespace kestro::format
