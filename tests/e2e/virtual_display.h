// The virtual X display of the tests that need windows.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <csignal>
#include <functional>
#include <future>
#include <iostream>
#include <thread>

#include <unistd.h>

#include "harness.h"

namespace kestro::e2e {

inline void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// How many pixels of colour `rgb` (0xRRGGBB) an X window dump of a screen shows. Only the
// dumps of a true-colour screen of 24 or 32 bits a pixel with 8-bit channels (Xvfb's at
// depth 24) are read; nullopt for any other, or for a dump shorter than its header says.
inline std::optional<int> pixelsInDump(const std::string& dump, uint32_t rgb) {
    auto field = [&](size_t n) {  // the header's 32-bit fields are big-endian
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) v = v << 8 | uint8_t(dump[4 * n + i]);
        return v;
    };
    if (dump.size() < 100) return std::nullopt;
    uint32_t width = field(4), height = field(5), lsbFirst = field(7) == 0, bytesPerLine = field(12);
    uint64_t start = uint64_t(field(0)) + uint64_t(field(19)) * 12;  // the header, then the colour map
    const uint32_t pixelBytes = field(11) / 8;
    if (field(2) != 2 || (field(11) != 24 && field(11) != 32) || field(14) != 0xFF0000 ||
        field(15) != 0xFF00 || field(16) != 0xFF || uint64_t(width) * pixelBytes > bytesPerLine ||
        start + uint64_t(bytesPerLine) * height > dump.size())
        return std::nullopt;
    int count = 0;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const char* p = dump.data() + start + uint64_t(y) * bytesPerLine + uint64_t(x) * pixelBytes;
            uint32_t v = 0;
            for (uint32_t i = 0; i < pixelBytes; ++i)
                v |= uint32_t(uint8_t(p[i])) << (8 * (lsbFirst ? i : pixelBytes - 1 - i));
            count += (v & 0xFFFFFF) == rgb;
        }
    return count;
}

// A virtual X display for windows and message boxes: Xvfb, xdotool to find a window by
// its caption and press keys in it, and a Wine prefix of its own. The shared test prefix
// cannot serve: its desktop process was started without a display, and every window of
// that prefix would fail to open. Test programs that may run at the same time use
// prefixes of different names, since two displays would fight over one prefix's desktop.
class VirtualDisplay {
public:
    // Starts Xvfb on a free display number; check ok().
    explicit VirtualDisplay(std::string prefixName = "wineprefix-display") : prefixName_(std::move(prefixName)) {
        if (!fs::exists("/usr/bin/Xvfb") || !fs::exists("/usr/bin/xdotool")) return;
        int number = 90 + int(getpid() % 400);
        auto taken = [](int n) { return fs::exists("/tmp/.X11-unix/X" + std::to_string(n)); };
        while (taken(number) || fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
        name_ = ":" + std::to_string(number);
        // The shell that starts it in the background ends at once; its id is all we keep.
        pid_ = std::atoi(capture("/usr/bin/Xvfb " + name_ + " -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & echo $!").c_str());
        for (int i = 0; i < 100 && pid_ > 0 && !taken(number); ++i) pause(50);
        if (pid_ > 0 && !taken(number)) {
            kill(pid_, SIGTERM);
            pid_ = -1;
        }
    }
    ~VirtualDisplay() {
        if (pid_ <= 0) return;
        if (!prefix_.empty()) {
            std::string stop = "WINEPREFIX=" + prefix_ + " /usr/lib/wine/wineserver";
            (void)std::system((stop + " -k 2>/dev/null; " + stop + " -w 2>/dev/null").c_str());
        }
        // Wine's windows on this display (a started Explorer too) end with their X connection.
        kill(pid_, SIGTERM);
    }

    bool ok() const { return pid_ > 0; }
    const std::string& name() const { return name_; }  // for DISPLAY, e.g. ":93"

    // The display's Wine prefix (build/<prefix name>), made on first use and with its
    // desktop up; its server is stopped again when the display goes. Empty when it could
    // not be made.
    std::string winePrefix() {
        if (!prefix_.empty() || pid_ <= 0) return prefix_;
        fs::path prefix = buildDir() / prefixName_;
        std::string boot = "WINEPREFIX=" + prefix.string() + " DISPLAY=" + name_ +
                           " WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1";
        if (fs::exists(prefix / "system.reg") || std::system(boot.c_str()) == 0) prefix_ = prefix.string();
        if (!prefix_.empty() && !raiseDesktop(prefix)) prefix_.clear();
        return prefix_;
    }

    // Waits up to a minute for a visible window whose title is exactly `title`, then
    // presses `key` in it until it is gone. False when no such window appeared.
    // With `gone`, the wait also ends as soon as it says the window's program has ended.
    bool answer(const std::string& title, const std::string& key, const std::function<bool()>& gone = {}) const {
        std::string search = "search --onlyvisible --name '^" + title + "$'";
        std::string window;
        for (int i = 0; i < 600 && window.empty() && !(gone && gone()); ++i, pause(100)) window = xdotool(search);
        if (window.empty()) return false;
        window = window.substr(0, window.find('\n'));
        // A key pressed before the box has taken the focus is lost: press until it is gone.
        for (int attempt = 0; attempt < 50 && !xdotool(search).empty(); ++attempt, pause(200))
            xdotool("windowfocus --sync " + window + " key " + key);
        return xdotool(search).empty();
    }

    // Whether a visible window whose title is exactly `title` is on the display now.
    bool showing(const std::string& title) const {
        return !xdotool("search --onlyvisible --name '^" + title + "$'").empty();
    }

    // How many pixels of colour `rgb` the whole screen shows, as xwd(1) dumps it into
    // `file`; nullopt when xwd is missing or its dump cannot be read.
    std::optional<int> pixelsOf(uint32_t rgb, const fs::path& file) const {
        std::string command = "/usr/bin/xwd -root -silent -display " + name_ + " >'" + file.string() + "' 2>/dev/null";
        if (!fs::exists("/usr/bin/xwd") || std::system(command.c_str()) != 0) return std::nullopt;
        return pixelsInDump(readBytes(file), rgb);
    }

private:
    // The first window of a Wine server starts its desktop process and waits 10 s for it;
    // on a loaded machine that is too short, and the window then fails at once, as a
    // message box without a display does. A box of our own, answered, shows the desktop
    // is up before a test's boxes open. Attempts beyond the first are reported.
    bool raiseDesktop(const fs::path& prefix) {
        RunOptions options{.commandLine = "message_box.exe"};
        options.application = fixturesDir() / "message_box.exe";
        options.unixEnv = {{"DISPLAY", name_}, {"WINEPREFIX", prefix.string()}};
        for (int attempt = 1; attempt <= 5; ++attempt) {
            auto running = std::async(std::launch::async, [&] {
                return BackgroundRun(*options.application, options, buildDir() / "e2e").wait();
            });
            bool answered = answer("warm-up", "Return", [&] {
                return running.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            });
            if (running.get().exitCode == kAnsweredOk && answered) return true;
            std::cout << "[ DESKTOP  ] Wine's desktop was not up for attempt " << attempt << "; trying again\n";
        }
        return false;
    }
    static constexpr int kAnsweredOk = 1;  // IDOK

    std::string xdotool(const std::string& arguments) const {
        return capture("DISPLAY=" + name_ + " /usr/bin/xdotool " + arguments + " 2>/dev/null");
    }

    pid_t pid_ = -1;
    std::string prefixName_;
    std::string name_;
    std::string prefix_;
};

}  // namespace kestro::e2e
