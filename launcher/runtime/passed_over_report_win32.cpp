#include "common/text.h"
#include "config/config_tables.h"
#include "diagnostics/error_report.h"
#include "diagnostics/message_text.h"
#include "runtime/passed_over.h"

namespace kestro {

void reportNoRuntimeFound() {
    std::string text = fillPlaceholder(lookupString(msg::NoJvmFound), "64");
    if (lookupInt(key::ListPassedOver) != 0) text = truncated(text + passedOverLines(passedOver()));
    showError(text);
}

}  // namespace kestro
