// Time of one runtime check (checkJavaExe) with a warm version cache, which must start
// no process, against a cold one, which probes the runtime each time. The runtime is a
// stand-in whose java.exe records its runs, so the processes started can be counted.
//
// Usage: version_cache_bench [CHECKS]   (default 200 of each)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "runtime/candidate_check.h"
#include "runtime/version_cache.h"
#include "support/runtime_layout.h"
#include "workfiles/paths.h"

namespace fs = std::filesystem;
using namespace kestro;

namespace {

fs::path programDirectory() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return fs::path(path).parent_path();
}

double seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

double timedCheck(const std::string& javaExe) {
    std::string path = javaExe, version;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    bool passed = checkJavaExe(path, version, "1.6", "1.8", false);
    QueryPerformanceCounter(&end);
    if (!passed) {
        std::fprintf(stderr, "the check failed\n");
        std::exit(1);
    }
    return seconds(start, end);
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    int checks = argc > 1 ? std::atoi(argv[1]) : 200;
    if (checks <= 0) return 2;
    fs::path work = programDirectory() / "work", home = work / "jre", java = home / "bin" / "java.exe";
    fs::remove_all(work);
    layout::layOutRuntime(home, {}, programDirectory() / ".." / "fixtures");
    std::string javaExe = fullPath(java.string(), false);
    std::string key = versionCacheKey(javaExe);
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());

    timedCheck(javaExe);  // fills the cache
    size_t before = layout::recordedRuns(java).size();
    std::vector<double> warm;
    for (int i = 0; i < checks; ++i) warm.push_back(timedCheck(javaExe));
    size_t warmRuns = layout::recordedRuns(java).size() - before;

    std::vector<double> cold;
    for (int i = 0; i < checks; ++i) {
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        cold.push_back(timedCheck(javaExe));
    }
    size_t coldRuns = layout::recordedRuns(java).size() - before - warmRuns;
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());

    double warmMedian = median(warm), coldMedian = median(cold);
    std::printf("checks of each kind:            %d\n", checks);
    std::printf("warm cache, median per check:   %.3f ms\n", warmMedian * 1e3);
    std::printf("cold cache, median per check:   %.3f ms\n", coldMedian * 1e3);
    std::printf("cold / warm:                    %.1f\n", coldMedian / warmMedian);
    std::printf("java.exe runs, warm checks:     %zu\n", warmRuns);
    std::printf("java.exe runs, cold checks:     %zu\n", coldRuns);
    fs::remove_all(work);
    // A warm check that starts a process defeats the cache.
    return warmRuns == 0 && coldRuns == size_t(checks) ? 0 : 1;
}
