#include "display.h"

#include "harness.h"

#include <chrono>
#include <csignal>
#include <thread>

#include <unistd.h>

namespace kestro::e2e {

namespace {

bool socketExists(int number) { return fs::exists("/tmp/.X11-unix/X" + std::to_string(number)); }

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

VirtualDisplay::VirtualDisplay() {
    if (!fs::exists("/usr/bin/Xvfb") || !fs::exists("/usr/bin/xdotool")) return;
    int number = 90 + int(getpid() % 400);
    while (socketExists(number) || fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
    name_ = ":" + std::to_string(number);
    // The shell that starts it in the background ends at once; its id is all we keep.
    std::string pid = capture("/usr/bin/Xvfb " + name_ + " -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & echo $!");
    pid_ = std::atoi(pid.c_str());
    for (int i = 0; i < 100 && pid_ > 0 && !socketExists(number); ++i) pause(50);
    if (pid_ > 0 && !socketExists(number)) {
        kill(pid_, SIGTERM);
        pid_ = -1;
    }
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ <= 0) return;
    if (!prefix_.empty()) {
        std::string stop = "WINEPREFIX=" + prefix_ + " /usr/lib/wine/wineserver";
        (void)std::system((stop + " -k 2>/dev/null; " + stop + " -w 2>/dev/null").c_str());
    }
    // Wine's windows on this display (a started Explorer too) end with their X connection.
    kill(pid_, SIGTERM);
}

std::string VirtualDisplay::winePrefix() {
    if (!prefix_.empty() || pid_ <= 0) return prefix_;
    fs::path prefix = buildDir() / "wineprefix-display";
    std::string boot = "WINEPREFIX=" + prefix.string() + " DISPLAY=" + name_ +
                       " WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1";
    if (!fs::exists(prefix / "system.reg") && std::system(boot.c_str()) != 0) return prefix_;
    prefix_ = prefix.string();
    return prefix_;
}

std::string VirtualDisplay::xdotool(const std::string& arguments) const {
    return capture("DISPLAY=" + name_ + " /usr/bin/xdotool " + arguments + " 2>/dev/null");
}

bool VirtualDisplay::answer(const std::string& title, const std::string& key, int timeoutMs) const {
    std::string search = "search --onlyvisible --name '^" + title + "$'";
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string window;
    while (window.empty() && std::chrono::steady_clock::now() < deadline) {
        window = xdotool(search);
        if (window.empty()) pause(100);
    }
    if (window.empty()) return false;
    window = window.substr(0, window.find('\n'));
    // A key pressed before the box has taken the focus is lost: press until it is gone.
    for (int attempt = 0; attempt < 50 && !xdotool(search).empty(); ++attempt) {
        xdotool("windowfocus --sync " + window + " key " + key);
        pause(200);
    }
    return xdotool(search).empty();
}

}  // namespace kestro::e2e
