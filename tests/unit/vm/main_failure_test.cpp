#include <gtest/gtest.h>

#include "vm/main_failure.h"

namespace kestro {
namespace {

// Only the runtime library's own failures, as its toString gives them exactly, choose
// the launcher's main class and main method messages; anything else is the
// application's error, even when it mentions them.
TEST(MainFailure, TheLibrarysFailuresNameTheirMessageAndEverythingElseIsTheApplications) {
    struct Case {
        std::string_view thrown;
        msg::MessageId want;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"com.kestro.runtime.internal.LaunchFailure: 1010", msg::MainClassMissing},
             {"com.kestro.runtime.internal.LaunchFailure: 1011", msg::MainMethodMissing},
             {"com.kestro.runtime.internal.LaunchFailure: 1005", msg::ApplicationError},
             {"com.kestro.runtime.internal.LaunchFailure: 10100", msg::ApplicationError},
             {"com.kestro.runtime.internal.LaunchFailure: ", msg::ApplicationError},
             {"java.lang.IllegalStateException: com.kestro.runtime.internal.LaunchFailure: 1010", msg::ApplicationError},
             {"java.lang.ClassNotFoundException: com.example.App", msg::ApplicationError},
             {"", msg::ApplicationError},
         })
        EXPECT_EQ(mainExceptionMessage(c.thrown), c.want) << c.thrown;
}

}  // namespace
}  // namespace kestro
