#include "tool/inspect/extract.h"

#include <cerrno>
#include <cstring>
#include <set>
#include <stdexcept>
#include <vector>

#include "format/native_file.h"
#include "tool/resources/resource_export.h"

#include "format/block_format.h"
#include "tool/config/included_names.h"
#include "tool/platform/file_source.h"
#include "tool/settings/setting_error.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

fs::path relativePath(const std::string& name) {
    try {
        return includedNamePath(name);
    } catch (const SettingError& e) {
        throw std::runtime_error("included file \"" + name + "\" is not extracted: " + e.what());
    }
}

// The target of a stored name; refuses names that could escape `dir`, also through a
// directory that is a link pointing elsewhere.
fs::path targetPath(const fs::path& dir, const std::string& name) {
    fs::path target = dir / relativePath(name);
    fs::create_directories(target.parent_path());
    fs::path root = fs::canonical(dir), parent = fs::canonical(target.parent_path());
    if (parent != root && parent.parent_path() != root)
        throw std::runtime_error("included file \"" + name + "\" would land outside " + format::pathText(dir));
    return target;
}

void copyRecord(FileSource& source, const IncludedRecord& record, const fs::path& target) {
    format::UniqueFile out = format::openForWriting(target);
    if (!out) throw std::runtime_error("cannot write " + format::pathText(target) + ": " + std::strerror(errno));
    uint32_t error = 0;
    bool ok = source.seek(record.offset, error);
    std::vector<uint8_t> chunk(1 << 16);
    for (uint64_t left = record.size; ok && left > 0;) {
        uint32_t want = uint32_t(std::min<uint64_t>(chunk.size(), left)), got = 0;
        ok = source.read(chunk.data(), want, got, error) && got == want;
        format::scramble(chunk.data(), got);
        ok = ok && std::fwrite(chunk.data(), 1, got, out.get()) == got;
        left -= got;
    }
    ok = std::fclose(out.release()) == 0 && ok;
    if (!ok) {
        std::error_code ec;
        fs::remove(target, ec);
        throw std::runtime_error("cannot extract " + format::pathText(target) + ": " + std::strerror(error ? int(error) : errno));
    }
}

void writeResource(const fs::path& target, const format::Resource& resource) {
    format::UniqueFile out = format::openForWriting(target);
    bool ok = out && std::fwrite(resource.data.data(), 1, resource.data.size(), out.get()) == resource.data.size();
    ok = (out && std::fclose(out.release()) == 0) && ok;
    if (!ok) {
        int error = errno;
        std::error_code ec;
        fs::remove(target, ec);
        throw std::runtime_error("cannot write " + format::pathText(target) + ": " + std::strerror(error));
    }
}

}  // namespace

fs::path resourcePath(const format::Resource& resource) {
    return fs::path("resources") / (std::to_string(resource.type) + "-" + std::to_string(resource.id) + "-" +
                                     std::to_string(resource.language) + ".bin");
}

std::vector<resources::ResourceFile> readableResourceFiles(const LauncherContents& contents) {
    auto files =
        resources::exportResources(contents.resources, false, true, [](const std::string& name) { return name; }).files;
    for (auto& file : files) file.name = format::genericPathText(fs::path("resources") / format::pathFromUtf8(file.name));
    return files;
}

void extractFiles(const fs::path& launcher, const LauncherContents& contents, const fs::path& dir) {
    std::set<std::string> resourceNames;
    for (const auto& resource : contents.resources)
        resourceNames.insert(foldedName(format::genericPathText(resourcePath(resource))));
    std::vector<resources::ResourceFile> readable = readableResourceFiles(contents);
    for (const auto& file : readable) resourceNames.insert(foldedName(file.name));
    for (const auto& record : contents.files) {  // refuse before writing anything
        if (resourceNames.contains(foldedName(format::genericPathText(relativePath(record.name)))))
            throw std::runtime_error("included file \"" + record.name +
                                     "\" is not extracted: a resource is written there");
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw std::runtime_error("cannot create " + format::pathText(dir) + ": " + ec.message());
    FileSource source(launcher);
    for (const auto& record : contents.files) copyRecord(source, record, targetPath(dir, record.name));
    for (const auto& resource : contents.resources)
        writeResource(targetPath(dir, format::genericPathText(resourcePath(resource))), resource);
    for (const auto& file : readable) writeResource(targetPath(dir, file.name), {0, 0, 0, file.data});
}

}  // namespace kestro::tool
