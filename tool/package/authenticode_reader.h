// Whether a Windows executable is signed, and by whom: the PE security directory's first
// certificate entry, its PKCS#7 signed data read just far enough to find the signer's
// certificate and the names in it. The signature is not verified (osslsigncode verify
// and Windows do that); this tells a reader what a file claims.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace kestro::tool::packaging {

struct SignatureInfo {
    bool present = false;          // the security directory names a certificate table
    std::optional<std::string> signer;  // the signer certificate's subject, "CN=Example Ltd, O=Example Ltd"
    std::optional<std::string> issuer;  // its issuer; the same as the subject for a self-signed certificate
    std::string problem;           // why the names could not be read, when they could not
};

// From the whole file's bytes. Every offset and length is checked against the data.
SignatureInfo readSignature(std::span<const uint8_t> image);
SignatureInfo readSignature(const std::filesystem::path& file);

// "signed by CN=..., issued by CN=...", "not signed", or what is wrong.
std::string describeSignature(const SignatureInfo& info);

}  // namespace kestro::tool::packaging
