#include "startup/restart_guard.h"

#include "common/text.h"
#include "format/decimal_number.h"

namespace kestro {

bool isRestartCode(std::string_view stored, int32_t code) {
    for (const std::string& item : splitList(stored))
        if (parseDecimalInt(item) == code) return true;
    return false;
}

std::vector<int64_t> recentRestarts(std::string_view history, int64_t now) {
    std::vector<int64_t> recent;
    for (const std::string& item : splitList(history, ',')) {
        int64_t when = 0;
        bool digits = !item.empty() && item.size() <= 18;
        for (char c : item) {
            if (c < '0' || c > '9') digits = false;
            else when = when * 10 + (c - '0');
        }
        // A time ahead of now (a clock set back) counts as recent: the guard errs on the
        // side of stopping.
        if (digits && now - when < 60) recent.push_back(when);
    }
    return recent;
}

std::string nextRestartHistory(const std::vector<int64_t>& recent, int64_t now) {
    std::string text;
    for (int64_t when : recent) {
        text += decimal(when);
        text += ',';
    }
    text += decimal(now);
    return text;
}

}  // namespace kestro
