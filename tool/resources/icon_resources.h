// A .ico file as the resources that make an executable's icon: each image an RT_ICON
// entry, and one RT_GROUP_ICON entry whose directory names them by id. And back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tool/resources/resource_kinds.h"

namespace kestro::tool::resources {

// One image of an icon, as its directory describes it.
struct IconImage {
    unsigned width = 0;   // 1..256 (a stored 0 means 256)
    unsigned height = 0;
    unsigned bitCount = 0;
    bool png = false;     // PNG-compressed rather than a DIB
    uint32_t size = 0;    // bytes of image data
};

// The images of a .ico file. Throws ResourceError ("not an icon: ...") for anything
// else: wrong reserved or type field, no images, a directory or image beyond the file's
// end, an image shorter than its header.
std::vector<IconImage> readIconDirectory(std::span<const uint8_t> ico);

// A PNG image as the .ico file of that one image, stored as PNG (which Windows reads in
// icons since Vista): its size and bits a pixel from the PNG's header. Throws
// ResourceError ("not an icon: ...") for a PNG without a header or larger than 256x256.
std::vector<uint8_t> iconFileFromPng(std::span<const uint8_t> png);

// The icon's images as RT_ICON entries with ids kFirstIconId.. in directory order,
// followed by the RT_GROUP_ICON entry kIconGroupId. `file` is a .ico file, or a PNG
// image taken as iconFileFromPng takes it. Throws as readIconDirectory.
std::vector<Resource> iconResources(std::span<const uint8_t> file);

// What icon.file takes, for every refusal.
inline constexpr const char* kIconFormats =
    "icon.file takes a .ico file (its images stored as bitmaps or as PNG) or a PNG image of at most 256x256 pixels";

// The .ico file that a group directory and the RT_ICON entries it names make: the
// directory followed by the images in its order. Nothing when the group is malformed or
// names an image that is not among `resources` (of the group's language or any other).
std::optional<std::vector<uint8_t>> iconFile(const Resource& group, std::span<const Resource> resources);

// "16x16 32-bit, 256x256 PNG" for reports.
std::string describeImages(const std::vector<IconImage>& images);

}  // namespace kestro::tool::resources
