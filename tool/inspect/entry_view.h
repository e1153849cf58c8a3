// One stored byte-string entry as both reports show it.
#pragma once

#include <optional>
#include <string>

#include <toml++/toml.h>

#include "format/block_format.h"
#include "tool/config/settings_table.h"
#include "tool/text/code_page.h"

namespace kestro::tool {

struct EntryView {
    const Setting* setting = nullptr;  // none for keys without a readable setting
    std::string name;                  // the setting's name, "files.count"/"files.names", or empty
    std::optional<std::string> text;   // the stored text in UTF-8, if the code page decodes it
    toml::table readable;              // the setting's readable value under its name, if any

    const toml::node* value() const { return setting ? readable.get(setting->name) : nullptr; }
};

EntryView viewEntry(const format::StringEntry& entry, CodePage cp);

}  // namespace kestro::tool
