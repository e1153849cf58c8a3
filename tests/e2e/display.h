// A virtual X display for the few tests that must answer a message box: Xvfb, xdotool
// to find a window by its caption and press keys in it, and a Wine prefix of its own.
// The shared test prefix cannot serve: its desktop process was started without a
// display, and every window of that prefix would fail to open.
#pragma once

#include <string>

#include <sys/types.h>

namespace kestro::e2e {

class VirtualDisplay {
public:
    VirtualDisplay();  // starts Xvfb on a free display number; check ok()
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ok() const { return pid_ > 0; }
    const std::string& name() const { return name_; }  // for DISPLAY, e.g. ":93"

    // The display's Wine prefix (build/wineprefix-display), made on first use; its server
    // is stopped again when the display goes. Empty when it could not be made.
    std::string winePrefix();

    // Waits up to `timeoutMs` for a visible window whose title is exactly `title`, then
    // presses `key` in it until it is gone. False when no such window appeared.
    bool answer(const std::string& title, const std::string& key, int timeoutMs = 60000) const;

private:
    std::string xdotool(const std::string& arguments) const;

    pid_t pid_ = -1;
    std::string name_;
    std::string prefix_;
};

}  // namespace kestro::e2e
