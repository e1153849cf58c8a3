#include <gtest/gtest.h>

#include <set>

#include "diagnostics/trace_file_name.h"

namespace kestro {
namespace {

TEST(TraceFileName, FirstFreeNumberFromTwoInTmpOrTheRootsOrTheCurrentDirectory) {
    std::set<std::string> disk = {"C:\\T", "C:\\T/", "C:\\T\\vlm_nlog_2", "c:\\", "\\"};
    auto exists = [&](const std::string& p) { return disk.count(p) > 0; };
    EXPECT_EQ(traceFileName("C:\\T", exists), "C:\\T\\vlm_nlog_3");
    EXPECT_EQ(traceFileName("C:\\T/", exists), "C:\\T/vlm_nlog_2");
    EXPECT_EQ(traceFileName("C:\\missing", exists), "c:\\vlm_nlog_2");
    EXPECT_EQ(traceFileName(std::nullopt, exists), "c:\\vlm_nlog_2");
    disk.erase("c:\\");
    EXPECT_EQ(traceFileName(std::nullopt, exists), "\\vlm_nlog_2");
    disk.clear();
    EXPECT_EQ(traceFileName(std::string(), exists), ".\\vlm_nlog_2");
}

}  // namespace
}  // namespace kestro
