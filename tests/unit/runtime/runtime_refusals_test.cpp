// What the search tells about runtimes it cannot use: the machine a VM library's header
// names, and the runtimes passed over as the report of no runtime found lists them.
#include <gtest/gtest.h>

#include "runtime/passed_over.h"
#include "runtime/vm_library_machine.h"
#include "support/pe_image.h"

namespace kestro {
namespace {

using Bytes = std::vector<uint8_t>;

// Each row: an image's first bytes, the signature offset read from them, then the 6
// bytes read there and the machine they give. No offset is trusted, any is only read.
TEST(VmLibraryMachine, HeaderFieldsAreReadWithoutTrustingThem) {
    Bytes image = testing::peImage({});
    std::span<const uint8_t> whole(image);
    EXPECT_EQ(peSignatureOffset(whole.first(kDosHeaderSize)), 0x80u);
    EXPECT_EQ(peMachine(whole.subspan(0x80, kPeMachineBytes)), kMachineAmd64);

    Bytes far = image;
    testing::set32(far, 0x3C, 0xFFFFFFF0);  // beyond any file: the caller's read fails
    EXPECT_EQ(peSignatureOffset(std::span<const uint8_t>(far).first(kDosHeaderSize)), 0xFFFFFFF0u);

    struct Case { Bytes bytes; std::optional<uint16_t> machine; };
    for (const Case& c : std::initializer_list<Case>{
             {{'P', 'E', 0, 0, 0x64, 0x86}, kMachineAmd64},
             {{'P', 'E', 0, 0, 0x64, 0xAA}, 0xAA64},
             {{'P', 'E', 0, 0, 0x4C, 0x01}, 0x014C},
             {{'P', 'E', 0, 0, 0x64}, std::nullopt},        // cut short
             {{'P', 'E', 1, 0, 0x64, 0x86}, std::nullopt},  // no signature
             {{}, std::nullopt},
         })
        EXPECT_EQ(peMachine(c.bytes), c.machine) << c.bytes.size();
    for (const Bytes& dos : {Bytes(kDosHeaderSize - 1, 0), Bytes(kDosHeaderSize, 0), Bytes{}}) {
        Bytes marked = dos;
        if (marked.size() > 1) marked[0] = 'M', marked[1] = 'Z';
        EXPECT_EQ(peSignatureOffset(marked), marked.size() < kDosHeaderSize ? std::nullopt : std::optional<uint32_t>(0))
            << dos.size();
        EXPECT_EQ(peSignatureOffset(dos), std::nullopt);
    }
}

TEST(VmLibraryMachine, RefusalsAndWhereLibrariesAreLookedFor) {
    struct Case { std::optional<uint16_t> machine; std::optional<std::string> refusal; };
    for (const Case& c : std::initializer_list<Case>{
             {kMachineAmd64, std::nullopt},
             {0xAA64, "jvm.dll is for ARM64, not x64"},
             {0x014C, "jvm.dll is for x86, not x64"},
             {0x01C4, "jvm.dll is for ARM, not x64"},
             {0x5064, "jvm.dll is for machine 5064, not x64"},
             {std::nullopt, "jvm.dll is no Windows library"},
         })
        EXPECT_EQ(vmLibraryRefusal("jvm.dll", c.machine), c.refusal);

    // The order the load tries: the preferred VM first, the JDK's embedded runtime last.
    std::vector<std::string> paths = vmLibraryCandidates("c:\\jdk\\bin\\javaw.exe", "custom");
    ASSERT_EQ(paths.size(), 12u);
    EXPECT_EQ(paths[0], "c:\\jdk\\bin\\custom\\jvm.dll");
    EXPECT_EQ(paths[3], "c:\\jdk\\bin\\server\\jvm.dll");
    EXPECT_EQ(paths[6], "c:\\jdk\\bin\\..\\jre\\bin\\custom\\jvm.dll");
    EXPECT_EQ(vmLibraryCandidates("c:\\jre\\bin\\java.exe", "").size(), 10u);
}

// Each place once, the first five only, named by the runtime's home.
TEST(PassedOver, FirstFivePlacesAreListed) {
    notePassedOver("c:\\jdk8\\bin\\java.exe", "version 1.8.0_201, needs 17 or later");
    notePassedOver("c:\\jdk8\\bin\\javaw.exe", "no java executable");
    notePassedOver("c:\\arm\\bin\\java.exe", "jvm.dll is for ARM64, not x64");
    notePassedOver("c:\\jre7", "not a JDK");
    for (int i = 0; i < 4; ++i) notePassedOver("c:\\more" + std::to_string(i) + "\\bin\\java.exe", "reason");
    ASSERT_EQ(passedOver().size(), kPassedOverShown);
    EXPECT_EQ(passedOverLines({passedOver().begin(), passedOver().begin() + 3}),
              "\nc:\\jdk8: version 1.8.0_201, needs 17 or later\nc:\\arm: jvm.dll is for ARM64, not x64\n"
              "c:\\jre7: not a JDK");
    EXPECT_EQ(passedOver().back().place, "c:\\more1");
    EXPECT_EQ(passedOverLines({}), "");
}

}  // namespace
}  // namespace kestro
