#include <gtest/gtest.h>

#include <set>

#include "diagnostics/trace_file_name.h"

namespace kestro {
namespace {

struct Disk {
    std::set<std::string> paths;
    std::function<bool(const std::string&)> exists() const {
        return [this](const std::string& p) { return paths.count(p) > 0; };
    }
};

TEST(TraceFileName, UsesAnExistingTmpAndTheFirstFreeNumberFromTwo) {
    Disk disk{{"C:\\T", "c:\\"}};
    EXPECT_EQ(traceFileName("C:\\T", disk.exists()), "C:\\T\\vlm_nlog_2");
    disk.paths.insert("C:\\T\\vlm_nlog_2");
    EXPECT_EQ(traceFileName("C:\\T", disk.exists()), "C:\\T\\vlm_nlog_3");
    disk.paths.insert("C:\\T/");
    EXPECT_EQ(traceFileName("C:\\T/", disk.exists()), "C:\\T/vlm_nlog_2");
}

TEST(TraceFileName, FallsBackToTheRootsThenTheCurrentDirectory) {
    Disk disk{{"c:\\", "\\"}};
    EXPECT_EQ(traceFileName("C:\\missing", disk.exists()), "c:\\vlm_nlog_2");
    EXPECT_EQ(traceFileName(std::nullopt, disk.exists()), "c:\\vlm_nlog_2");
    disk.paths.erase("c:\\");
    EXPECT_EQ(traceFileName(std::nullopt, disk.exists()), "\\vlm_nlog_2");
    disk.paths.clear();
    EXPECT_EQ(traceFileName(std::string(), disk.exists()), ".\\vlm_nlog_2");
}

}  // namespace
}  // namespace kestro
