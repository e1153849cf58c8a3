// A packed runtime whose unpack200 cannot be started ends the launcher; what unpacking
// does otherwise is shown by the tests under Wine of the same functions.
#include "harness.h"

namespace kestro::e2e {
namespace {

using PackedRuntime = LauncherTest;

TEST_F(PackedRuntime, MissingUnpack200EndsWithInternalError20) {
    fs::path home = layOut("packed", {.packedJars = layout::restoredJarOrder()});
    set(key::ApplicationType, "2");
    set(key::SearchList, "Rpacked");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1009, "20")));
    EXPECT_EQ(r.out, "Preparing JRE ...\r\n");  // standard output is in text mode
    EXPECT_GT(r.traceIndex("could not create unpack process"), r.traceIndex("Unpacking JRE")) << r.trace;
    EXPECT_FALSE(r.traced("Unpacking JRE done"));
    EXPECT_TRUE(fs::exists(home / "lib" / "rt.jar.pack"));
}

}  // namespace
}  // namespace kestro::e2e
