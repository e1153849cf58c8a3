#include "tool/inspect/entry_view.h"

#include "format/config_keys.h"
#include "tool/settings/setting_codec.h"

namespace kestro::tool {

EntryView viewEntry(const format::StringEntry& entry, CodePage cp) {
    EntryView view;
    view.setting = findSetting(entry.key);
    // The count and the names come from the [[files]] list rather than from a setting.
    if (view.setting) view.name = view.setting->fullName();
    else if (entry.key == key::IncludedCount) view.name = "files.count";
    else if (entry.key == key::IncludedNames) view.name = "files.names";
    else if (entry.key == key::Environment) view.name = "environment";
    view.text = fromCodePage(entry.value, cp);
    if (view.setting) decodeSetting(*view.setting, entry.value, cp, view.readable);
    return view;
}

}  // namespace kestro::tool
