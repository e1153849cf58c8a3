// The one exception type for a bad value: thrown where the value is checked, caught
// where the configuration file position and the setting's name are known.
#pragma once

#include <stdexcept>
#include <string>

#include <toml++/toml.h>

namespace kestro::tool {

class SettingError : public std::runtime_error {
public:
    // `where` points at the offending part of a nested value (a list element, say),
    // so the message can name its line rather than the setting's.
    explicit SettingError(const std::string& what, const toml::node* where = nullptr, std::string path = {})
        : std::runtime_error(what), where_(where), path_(std::move(path)) {}
    const toml::node* where() const { return where_; }
    // Suffix of the setting's name that locates the part, e.g. "[2].archive".
    const std::string& path() const { return path_; }

private:
    const toml::node* where_;
    std::string path_;
};

}  // namespace kestro::tool
