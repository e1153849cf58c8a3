#include <windows.h>

#include <cstdint>

#include "common/text.h"
#include "config/config_tables.h"
#include "diagnostics/error_report.h"
#include "diagnostics/message_text.h"
#include "diagnostics/trace.h"
#include "runtime/passed_over.h"

namespace kestro {

void reportNoRuntimeFound() {
    std::string text = fillPlaceholder(lookupString(msg::NoJvmFound), "64");
    if (lookupInt(key::ListPassedOver) != 0) text = truncated(text + passedOverLines(passedOver()));
    std::string url = lookupString(key::DownloadUrl);
    if (url.empty()) {
        showError(text);
        return;
    }
    if (!askAfterError(text, fillPlaceholder(lookupString(msg::OpenDownloadUrl), url.c_str()), url)) return;
    // Looked up only here: shell32 is not worth an import of every start for it.
    using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    HMODULE shell = LoadLibraryA("shell32.dll");
    auto shellExecute = shell ? reinterpret_cast<ShellExecuteFn>(
                                    reinterpret_cast<void (*)()>(GetProcAddress(shell, "ShellExecuteA")))
                              : nullptr;
    // Above 32 the shell started something for the address.
    intptr_t result = shellExecute ? reinterpret_cast<intptr_t>(
                                         shellExecute(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL))
                                   : 0;
    trace("opening %s: %d", url.c_str(), int(result));
}

}  // namespace kestro
