// Turns the parts of a configuration block into the launcher's tables.
#pragma once

#include <string>

#include "common/function_ref.h"
#include "config/config_tables.h"
#include "format/block_reader.h"

namespace kestro {

// Byte and wide entries replace earlier values of the same key. Once the wide entries
// are read, `selectLocale` gives the locale code; the locale sets whose prefix it
// starts with then replace wide entries, in block order. `selectLocale` must outlive
// the filler.
class TableFiller final : public format::BlockVisitor {
public:
    TableFiller(ConfigTables& tables, FunctionRef<std::string()> selectLocale)
        : tables_(tables), selectLocale_(selectLocale) {}

    void stringEntry(ConfigKey key, std::string&& value) override { tables_.strings[key] = std::move(value); }
    void wideEntry(ConfigKey key, Utf16&& value) override { tables_.wides[key] = std::move(value); }
    void beforeLocaleSets() override { localeCode_ = selectLocale_(); }
    void beginLocaleSet(const std::string& prefix) override;
    void localeEntry(ConfigKey key, Utf16&& value) override {
        if (setMatches_) tables_.wides[key] = std::move(value);
    }

private:
    ConfigTables& tables_;
    FunctionRef<std::string()> selectLocale_;
    std::string localeCode_;
    bool setMatches_ = false;
};

}  // namespace kestro
