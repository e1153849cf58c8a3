// What the fuzz targets share: a check whose failure is a finding, and the input as
// text and as lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

// A property that must hold for every input; a failure aborts, which libFuzzer reports
// with the input that caused it.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)

namespace kestro::fuzz {

inline std::string_view asText(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input's lines, without their "\n"; an input without one is one line.
inline std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    for (size_t start = 0;;) {
        size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return out;
        start = end + 1;
    }
}

}  // namespace kestro::fuzz
