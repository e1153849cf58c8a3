#include "config/table_filler.h"

#include "config/locale.h"

namespace kestro {

void TableFiller::beginLocaleSet(const std::string& prefix) { setMatches_ = localeSetMatches(prefix, localeCode_); }

}  // namespace kestro
