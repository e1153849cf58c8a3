// Reading the configuration block from the launcher's own executable.
#include "harness.h"

#include "format/block_reader.h"
#include "format/config_keys.h"

namespace kestro::e2e {
namespace {

class ConfigBlock : public LauncherTest {
protected:
    // Reports of a launcher that cannot read its block go to standard error only with
    // the internal quiet command line; without a display a message box returns at once.
    RunResult runQuiet(const fs::path& exe) { return run(exe, {.arguments = "-q_vlm_internal"}); }
};

TEST_F(ConfigBlock, EmptyBlockIsValid) {
    format::BlockHead empty;
    std::vector<uint8_t> block = format::serializeHead(empty);
    ASSERT_EQ(block.size(), 32u);
    RunResult r = run(buildRaw(block));
    // Nothing configured: no runtime to search for, so the start ends there.
    EXPECT_EQ(r.exitCode, 83) << r.err;
    EXPECT_TRUE(r.traced("working directory unchanged"));
    EXPECT_TRUE(r.traced("ERROR: No JVM found"));
}

TEST_F(ConfigBlock, StubWithoutBlockFailsOnTheFirstRead) {
    RunResult r = runQuiet(buildRaw({}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Internal Error: readInt\n\nLog: " + windowsPath(*r.traceFile) + "\n");
    EXPECT_TRUE(r.tracedPrefix("error "));
}

TEST_F(ConfigBlock, WrongMagicIsReportedEvenWhenBoxesAreOff) {
    std::vector<uint8_t> block = format::serializeHead(head_);
    block[0] ^= 0xFF;
    RunResult quiet = run(buildRaw(block), {.arguments = "-q_vlm_internal", .trace = false});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.err, "Internal Error: magic\n");
    // Without the quiet command line the report is a message box (which fails at once
    // without a display): nothing on standard error, exit code 1 all the same.
    RunResult boxed = run(buildRaw(block, "boxed.exe"), {.trace = false});
    EXPECT_EQ(boxed.exitCode, 1);
    EXPECT_EQ(boxed.err, "");
}

// Cutting the launcher at every offset inside the block ends with the report of the
// reader that ran past the end, never with a crash or a hang.
TEST_F(ConfigBlock, TruncationAtEveryOffsetNamesTheFailingReader) {
    head_ = {};
    set(key::MainClass, "a.B");
    head_.wides.push_back({7, u"w"});
    head_.localeSets.push_back({"de", {{7, u"x"}}});
    std::vector<uint8_t> block = format::serializeHead(head_);

    // The reader that each byte of the block belongs to.
    std::vector<std::string> owner(block.size(), "readInt");
    auto mark = [&](size_t from, size_t n, const char* reader) {
        for (size_t i = from; i < from + n; ++i) owner[i] = reader;
    };
    mark(12, 8, "readLong");
    mark(32, 3, "readString");                  // "a.B"
    mark(47, 2, "readWString");                 // u"w"
    mark(57, 2, "readString");                  // "de"
    mark(71, 2, "readWString");                 // u"x"
    ASSERT_EQ(block.size(), 73u);

    for (size_t cut = 0; cut < block.size(); ++cut) {
        std::vector<uint8_t> tail(block.begin(), block.begin() + long(cut));
        RunResult r = run(buildRaw(tail, "cut.exe"), {.arguments = "-q_vlm_internal", .trace = false});
        EXPECT_EQ(r.exitCode, 1) << "cut at " << cut;
        EXPECT_EQ(r.err, "Internal Error: " + owner[cut] + "\n") << "cut at " << cut;
    }
}

TEST_F(ConfigBlock, HugeAndNegativeLengthsAreRejectedLikeShortReads) {
    for (uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::vector<uint8_t> block = format::serializeHead({});
        block[20] = 1;  // one byte-string entry: key 122, then the bad length
        std::vector<uint8_t> entry;
        for (uint32_t v : {122u, length})
            for (int i = 0; i < 4; ++i) entry.push_back(uint8_t(v >> (8 * i)));
        block.insert(block.begin() + 24, entry.begin(), entry.end());
        RunResult r = run(buildRaw(block, "bad.exe"), {.arguments = "-q_vlm_internal", .trace = false});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "Internal Error: readString\n");
    }
}

}  // namespace
}  // namespace kestro::e2e
