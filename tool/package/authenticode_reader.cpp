#include "tool/package/authenticode_reader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace kestro::tool::packaging {

namespace {

using Bytes = std::span<const uint8_t>;

uint32_t le(Bytes data, size_t at, size_t width) {
    uint32_t value = 0;
    for (size_t i = width; i-- > 0;) value = (value << 8) | data[at + i];
    return value;
}

// One DER element: its tag, its content, and what follows it.
struct Element {
    uint8_t tag = 0;
    Bytes content, rest;
};

std::optional<Element> next(Bytes data) {
    if (data.size() < 2) return std::nullopt;
    size_t length = data[1], header = 2;
    if (length & 0x80) {
        size_t count = length & 0x7F;
        if (count == 0 || count > 4 || data.size() < 2 + count) return std::nullopt;
        length = 0;
        for (size_t i = 0; i < count; ++i) length = (length << 8) | data[2 + i];
        header += count;
    }
    if (length > data.size() - header) return std::nullopt;
    return Element{data[0], data.subspan(header, length), data.subspan(header + length)};
}

// The content of the element with `tag` at the start of `data`, moving `data` past it.
std::optional<Bytes> take(Bytes& data, uint8_t tag) {
    auto e = next(data);
    if (!e || e->tag != tag) return std::nullopt;
    data = e->rest;
    return e->content;
}

bool skip(Bytes& data) {
    auto e = next(data);
    if (!e) return false;
    data = e->rest;
    return true;
}

constexpr uint8_t kSequence = 0x30, kSet = 0x31, kInteger = 0x02, kOid = 0x06;

// "CN=Example Ltd, O=Example Ltd" from a Name, with the attributes people read.
std::string nameText(Bytes name) {
    struct Known { uint8_t last; const char* label; };
    const Known known[] = {{3, "CN"}, {10, "O"}, {11, "OU"}, {6, "C"}, {7, "L"}, {8, "ST"}};
    std::string text;
    while (auto rdn = next(name)) {
        name = rdn->rest;
        Bytes set = rdn->content;
        while (auto attribute = next(set)) {
            set = attribute->rest;
            Bytes inner = attribute->content;
            auto oid = take(inner, kOid);
            auto value = next(inner);
            if (!oid || !value || oid->size() != 3 || (*oid)[0] != 0x55 || (*oid)[1] != 0x04) continue;
            for (const Known& k : known)
                if ((*oid)[2] == k.last)
                    text += (text.empty() ? "" : ", ") + std::string(k.label) + "=" +
                            std::string(value->content.begin(), value->content.end());
        }
    }
    return text;
}

struct Certificate {
    Bytes serial, issuer, subject;
};

std::optional<Certificate> certificateFields(Bytes certificate) {
    auto tbs = take(certificate, kSequence);
    if (!tbs) return std::nullopt;
    Bytes t = *tbs;
    if (auto e = next(t); e && e->tag == 0xA0) t = e->rest;  // the version, when given
    auto serial = take(t, kInteger);
    if (!serial || !skip(t)) return std::nullopt;  // the signature algorithm
    auto issuer = take(t, kSequence);
    if (!issuer || !skip(t)) return std::nullopt;  // the validity
    auto subject = take(t, kSequence);
    if (!subject) return std::nullopt;
    return Certificate{*serial, *issuer, *subject};
}

bool same(Bytes a, Bytes b) { return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin()); }

// ContentInfo { signedData, [0] SignedData { version, digests, content, [0] certificates,
// [1] crls?, signerInfos } }: the certificate whose issuer and serial the first signer names.
SignatureInfo signerOf(Bytes pkcs7) {
    SignatureInfo info;
    info.present = true;
    auto fail = [&](const char* why) { info.problem = why; return info; };
    auto contentInfo = take(pkcs7, kSequence);
    if (!contentInfo) return fail("the signature is no PKCS#7 structure");
    Bytes ci = *contentInfo;
    auto wrapped = (skip(ci) ? take(ci, 0xA0) : std::nullopt);
    if (!wrapped) return fail("the signature holds no signed data");
    auto signedData = take(*wrapped, kSequence);
    if (!signedData) return fail("the signature holds no signed data");
    Bytes sd = *signedData;
    if (!take(sd, kInteger) || !take(sd, kSet) || !take(sd, kSequence)) return fail("the signed data is malformed");
    auto certificates = take(sd, 0xA0);
    if (!certificates) return fail("the signature carries no certificates");
    if (auto e = next(sd); e && e->tag == 0xA1) sd = e->rest;
    auto signers = take(sd, kSet);
    auto signer = signers ? take(*signers, kSequence) : std::nullopt;
    if (!signer) return fail("the signature names no signer");
    Bytes s = *signer;
    auto issuerAndSerial = take(s, kInteger) ? take(s, kSequence) : std::nullopt;
    if (!issuerAndSerial) return fail("the signer is malformed");
    auto issuer = take(*issuerAndSerial, kSequence);
    auto serial = issuer ? take(*issuerAndSerial, kInteger) : std::nullopt;
    if (!serial) return fail("the signer is malformed");
    Bytes list = *certificates;
    while (auto e = next(list)) {
        list = e->rest;
        if (e->tag != kSequence) continue;
        auto c = certificateFields(e->content);
        if (c && same(c->serial, *serial) && same(c->issuer, *issuer)) {
            info.signer = nameText(c->subject);
            info.issuer = nameText(c->issuer);
            return info;
        }
    }
    return fail("the signer's certificate is not in the signature");
}

SignatureInfo failed(std::string problem) {
    SignatureInfo info;
    info.present = true;
    info.problem = std::move(problem);
    return info;
}

// Where the security directory puts the certificate table (a file offset, not an
// address), from the headers alone: nothing when the file is no PE image or has none.
std::optional<std::pair<size_t, size_t>> certificateTable(Bytes headers) {
    if (headers.size() < 64 || headers[0] != 'M' || headers[1] != 'Z') return std::nullopt;
    size_t pe = le(headers, 0x3C, 4);
    if (pe > headers.size() - 24 || le(headers, pe, 4) != 0x00004550) return std::nullopt;
    size_t optional = pe + 24, optionalSize = le(headers, pe + 20, 2);
    if (optionalSize > headers.size() - optional || optionalSize < 2) return std::nullopt;
    bool plus = le(headers, optional, 2) == 0x20B;
    size_t count = plus ? 108 : 92, directories = plus ? 112 : 96;
    if (optionalSize < directories + 5 * 8 || le(headers, optional + count, 4) < 5) return std::nullopt;
    size_t offset = le(headers, optional + directories + 32, 4), size = le(headers, optional + directories + 36, 4);
    if (offset == 0 || size == 0) return std::nullopt;
    return std::pair{offset, size};
}

SignatureInfo tableSignature(Bytes table) {
    SignatureInfo info;
    info.present = true;
    size_t length = table.size() >= 8 ? le(table, 0, 4) : 0, type = table.size() >= 8 ? le(table, 6, 2) : 0;
    if (length < 8 || length > table.size()) {
        info.problem = "the certificate table is malformed";
        return info;
    }
    if (type != 2) {
        info.problem = "the certificate is no PKCS#7 signature (type " + std::to_string(type) + ")";
        return info;
    }
    return signerOf(table.subspan(8, length - 8));
}

constexpr size_t kHeaderBytes = 4096;

}  // namespace

SignatureInfo readSignature(Bytes image) {
    auto table = certificateTable(image.first(std::min(image.size(), kHeaderBytes)));
    if (!table) return {};
    auto [offset, size] = *table;
    if (offset > image.size() || size > image.size() - offset)
        return failed("the certificate table lies outside the file");
    return tableSignature(image.subspan(offset, size));
}

// Only the headers and the table are read: a launcher may carry hundreds of megabytes.
SignatureInfo readSignature(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> headers(kHeaderBytes);
    in.read(reinterpret_cast<char*>(headers.data()), std::streamsize(headers.size()));
    headers.resize(size_t(in.gcount()));
    auto table = certificateTable(headers);
    if (!table) return {};
    std::error_code ec;
    uint64_t fileSize = std::filesystem::file_size(file, ec);
    auto [offset, size] = *table;
    if (ec || offset > fileSize || size > fileSize - offset)
        return failed("the certificate table lies outside the file");
    std::vector<uint8_t> bytes(size);
    in.clear();
    in.seekg(std::streamoff(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size));
    if (size_t(in.gcount()) != size) return failed("the certificate table cannot be read");
    return tableSignature(bytes);
}

std::string describeSignature(const SignatureInfo& info) {
    if (!info.present) return "not signed";
    if (!info.signer) return "signed, but the signer cannot be read: " + info.problem;
    std::string text = "signed by " + *info.signer;
    if (info.issuer && *info.issuer != *info.signer) text += ", issued by " + *info.issuer;
    else text += " (issued by itself)";
    return text;
}

}  // namespace kestro::tool::packaging
