// What is read from a signature table that others wrote, and the signing and packaging
// programs' command lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "tool/package/authenticode_reader.h"
#include "tool/package/host_tools.h"
#include "tool_test_support.h"

namespace kestro::tool::packaging {
namespace {

void put(std::vector<uint8_t>& image, size_t at, uint32_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) image[at + i] = uint8_t(value >> (8 * i));
}

// A PE32+ header whose security directory names `offset` and `size`, followed by `table`.
std::vector<uint8_t> imageWith(uint32_t offset, uint32_t size, const std::vector<uint8_t>& table) {
    std::vector<uint8_t> image(512, 0);
    image[0] = 'M', image[1] = 'Z';
    put(image, 0x3C, 0x40, 4);
    put(image, 0x40, 0x00004550, 4);
    put(image, 0x40 + 20, 240, 2);               // optional header size
    put(image, 0x58, 0x20B, 2);                  // PE32+
    put(image, 0x58 + 108, 16, 4);               // directories
    put(image, 0x58 + 112 + 32, offset, 4);      // security: file offset
    put(image, 0x58 + 112 + 36, size, 4);
    image.insert(image.end(), table.begin(), table.end());
    return image;
}

// A WIN_CERTIFICATE of `type` around `der`.
std::vector<uint8_t> certificateEntry(uint16_t type, const std::vector<uint8_t>& der) {
    std::vector<uint8_t> entry(8, 0);
    put(entry, 0, uint32_t(8 + der.size()), 4);
    put(entry, 4, 0x0200, 2);
    put(entry, 6, type, 2);
    entry.insert(entry.end(), der.begin(), der.end());
    return entry;
}

TEST(SignatureReader, MalformedTablesAreNamedNeverTrusted) {
    const std::vector<uint8_t> garbage{0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};  // a length beyond the data
    const std::vector<uint8_t> noSignedData{0x30, 0x03, 0x06, 0x01, 0x2A};
    struct Case {
        std::vector<uint8_t> image;
        bool present;
        std::string problem;
    };
    const std::vector<Case> cases{
        {imageWith(0, 0, {}), false, ""},
        {{'M', 'Z'}, false, ""},
        {imageWith(512, 4000, certificateEntry(2, garbage)), true, "the certificate table lies outside the file"},
        {imageWith(0xFFFFFFF0, 0x20, {}), true, "the certificate table lies outside the file"},
        {imageWith(512, 14, certificateEntry(2, garbage)), true, "the certificate table is malformed"},
        {imageWith(512, 15, certificateEntry(1, garbage)), true, "the certificate is no PKCS#7 signature (type 1)"},
        {imageWith(512, 15, certificateEntry(2, garbage)), true, "the signature is no PKCS#7 structure"},
        {imageWith(512, 13, certificateEntry(2, noSignedData)), true, "the signature holds no signed data"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SignatureInfo info = readSignature(std::span<const uint8_t>(cases[i].image));
        EXPECT_EQ(info.present, cases[i].present) << i;
        EXPECT_EQ(info.problem, cases[i].problem) << i;
        EXPECT_FALSE(info.signer) << i;
    }
    EXPECT_EQ(describeSignature({}), "not signed");
    EXPECT_EQ(describeSignature({.present = true, .signer = "CN=A", .issuer = "CN=B"}), "signed by CN=A, issued by CN=B");
}

TEST(HostTools, MissingProgramsNameTheirDebianPackage) {
    run::HostQueries host{[](const std::string&) { return std::optional<std::string>("/a::/b"); },
                          [](const std::filesystem::path& p) { return p == "/b/wixl" || p == "./osslsigncode"; }};
    EXPECT_EQ(findHostTool("wixl", "wixl", "kestro package", host), "/b/wixl");
    EXPECT_EQ(findHostTool("osslsigncode", "osslsigncode", "signing", host), "./osslsigncode");
    EXPECT_EQ(test::errorOf([&] { findHostTool("msiinfo", "msitools", "kestro package", host); }),
              "kestro package needs msiinfo, which is not installed: install the Debian package msitools "
              "(sudo apt-get install msitools)");
}

// The password reaches osslsigncode through a file only, which -readpass names.
TEST(HostTools, ThePasswordNeverStandsOnOsslsigncodesCommandLine) {
    SigningSettings signing{"/c/cert.p12", "PASS", "http://ts.example"};
    std::vector<std::string> args = osslsigncodeArguments(signing, "/tmp/pw", "App", "/o/App.exe", "/o/App.exe.signed");
    auto after = [&](const std::string& option) {
        auto it = std::ranges::find(args, option);
        return it == args.end() || it + 1 == args.end() ? std::string() : *(it + 1);
    };
    EXPECT_EQ(after("-readpass"), "/tmp/pw");
    EXPECT_EQ(std::ranges::find(args, "-pass"), args.end());
    EXPECT_EQ(after("-pkcs12"), "/c/cert.p12");
    EXPECT_EQ(after("-ts"), "http://ts.example");
    EXPECT_EQ(after("-in"), "/o/App.exe");
    EXPECT_EQ(after("-out"), "/o/App.exe.signed");
}

}  // namespace
}  // namespace kestro::tool::packaging
