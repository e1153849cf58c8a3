// Reading the configuration block from the launcher's own executable. Reports of a
// launcher that cannot read its block go to standard error only with the internal quiet
// command line; without a display a message box returns at once. Malformed lengths are
// shown by the native tests of the same reader.
#include "harness.h"

namespace kestro::e2e {
namespace {

using ConfigBlock = LauncherTest;

TEST_F(ConfigBlock, EmptyBlockIsValid) {
    std::vector<uint8_t> block = format::serializeHead({});
    ASSERT_EQ(block.size(), 32u);
    RunResult r = run(buildRaw(block));
    // Nothing configured: no runtime to search for, so the start ends there.
    EXPECT_EQ(r.exitCode, 83) << r.err;
    EXPECT_TRUE(r.traced("working directory unchanged"));
    EXPECT_TRUE(r.traced("ERROR: No JVM found"));
}

TEST_F(ConfigBlock, StubWithoutBlockFailsOnTheFirstRead) {
    RunResult r = run(buildRaw({}), {.arguments = "-q_vlm_internal"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported("Internal Error: readInt"));
    EXPECT_TRUE(r.tracedPrefix("error "));
}

TEST_F(ConfigBlock, WrongMagicIsAFatalReport) {
    std::vector<uint8_t> block = format::serializeHead(head_);
    block[0] ^= 0xFF;
    RunResult r = run(buildRaw(block), {.arguments = "-q_vlm_internal", .trace = false});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Internal Error: magic\n");
}

// Cutting the launcher at every offset inside the block ends with the report of the
// reader that ran past the end, never with a crash or a hang.
TEST_F(ConfigBlock, TruncationAtEveryOffsetNamesTheFailingReader) {
    head_ = {};
    set(key::MainClass, "a.B");
    head_.wides.push_back({7, u"w"});
    head_.localeSets.push_back({"de", {{7, u"x"}}});
    std::vector<uint8_t> block = format::serializeHead(head_);
    ASSERT_EQ(block.size(), 73u);

    // The reader that each byte of the block belongs to: the head size, the text of "a.B",
    // u"w", "de" and u"x"; every other byte is a count, key or length.
    std::vector<std::string> owner(block.size(), "readInt");
    const struct {
        int from, n;
        const char* reader;
    } owned[] = {{12, 8, "readLong"}, {32, 3, "readString"}, {47, 2, "readWString"}, {57, 2, "readString"},
                 {71, 2, "readWString"}};
    for (const auto& o : owned) std::fill_n(owner.begin() + o.from, o.n, o.reader);

    for (size_t cut = 0; cut < block.size(); ++cut) {
        std::vector<uint8_t> tail(block.begin(), block.begin() + long(cut));
        RunResult r = run(buildRaw(tail, "cut" + std::to_string(cut) + ".exe"), {.arguments = "-q_vlm_internal", .trace = false});
        EXPECT_EQ(r.exitCode, 1) << "cut at " << cut;
        EXPECT_EQ(r.err, "Internal Error: " + owner[cut] + "\n") << "cut at " << cut;
    }
}

}  // namespace
}  // namespace kestro::e2e
