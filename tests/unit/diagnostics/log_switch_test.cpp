#include <gtest/gtest.h>

#include "diagnostics/log_switch.h"
#include "support/trace_recorder.h"

namespace kestro {
namespace {

using Arguments = std::vector<Utf16>;

TEST(LogSwitch, OnlyAnExactFormAsElementOneIsTakenOut) {
    for (const char16_t* form : {u"-create-vlm-log", u"-create-kst-log", u"/create-vlm-log", u"/create-kst-log"}) {
        testing::logCreationRequested() = false;
        Arguments arguments{u"app.exe", form, u"x", u"-create-kst-log"};
        checkLogSwitch(arguments);
        EXPECT_EQ(arguments, (Arguments{u"app.exe", u"x", u"-create-kst-log"}));
        EXPECT_TRUE(testing::logCreationRequested());
        EXPECT_TRUE(logSwitchGiven());
    }
    for (const Arguments& original : std::initializer_list<Arguments>{
             {u"app.exe", u"-Create-kst-log"}, {u"app.exe", u"-create-KST-log"}, {u"app.exe", u"create-kst-log"},
             {u"app.exe", u"-create-kst-log "}, {u"app.exe", u"x", u"-create-kst-log"}, {u"-create-kst-log"}, {},
         }) {
        testing::logCreationRequested() = false;
        Arguments arguments = original;
        checkLogSwitch(arguments);
        EXPECT_EQ(arguments, original);
        EXPECT_FALSE(testing::logCreationRequested());
    }
}

}  // namespace
}  // namespace kestro
