// The resources a launcher carries, read from its configuration.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <toml++/toml.h>

#include "format/resource_section.h"

namespace kestro::tool {

// A bad resource setting: the node to name the line of, and the text after "file:line: ".
struct ResourceProblem {
    const toml::node* where;
    std::string text;
};

// A resource that a readable setting (or the defaults) makes, known by its place before
// its bytes are: `where` is null for one the defaults make.
struct ResourceOwner {
    uint16_t type, id, language;
    std::string setting;
    const toml::node* where;
};

// Gathers resources from the settings that make them and refuses a second resource of
// the same type, id and language, naming both settings.
class ResourceCollector {
public:
    explicit ResourceCollector(std::vector<ResourceProblem>& problems) : problems_(problems) {}

    // `setting` names what made the resource ("resources[2]", "icon.file", ...).
    void add(format::Resource resource, const std::string& setting, const toml::node& where);
    // Claims a place without adding a resource there.
    void reserve(const ResourceOwner& owner);
    void problem(const toml::node* where, std::string text) { problems_.push_back({where, std::move(text)}); }
    std::vector<format::Resource> take() { return std::move(resources_); }

private:
    std::vector<ResourceProblem>& problems_;
    std::vector<format::Resource> resources_;
    std::map<std::tuple<uint16_t, uint16_t, uint16_t>, std::pair<std::string, size_t>> owners_;  // setting, line
};

// Every raw resource the configuration in `doc` asks for, in the order given; file
// paths are relative to `configFile`'s directory. One at the place of a `readable`
// resource is refused. Problems are appended to `problems` (the loader reports them
// with the file and line).
std::vector<format::Resource> collectResources(const toml::table& doc, const std::filesystem::path& configFile,
                                               std::vector<ResourceProblem>& problems,
                                               const std::vector<ResourceOwner>& readable = {});

// The conventional name of a standard resource type ("RT_ICON"), or empty.
std::string resourceTypeName(uint16_t type);

}  // namespace kestro::tool
