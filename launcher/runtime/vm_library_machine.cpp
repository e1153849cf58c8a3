#include "runtime/vm_library_machine.h"


#include "runtime/search_list.h"

namespace kestro {

namespace {

uint32_t little(std::span<const uint8_t> bytes, size_t at, size_t n) {
    uint32_t value = 0;
    for (size_t i = n; i-- > 0;) value = value << 8 | bytes[at + i];
    return value;
}

const char* machineName(uint16_t machine) {
    switch (machine) {
    case 0x8664: return "x64";
    case 0xAA64: return "ARM64";
    case 0x014C: return "x86";
    case 0x01C4: return "ARM";
    case 0x0200: return "Itanium";
    default: return nullptr;
    }
}

}  // namespace

std::vector<std::string> vmLibraryCandidates(std::string_view javaExe, std::string_view preferredVm) {
    std::vector<std::string> paths;
    for (const std::string& java : {std::string(javaExe), embeddedRuntimeJava(javaExe)}) {
        std::string bin = javaBinDirectory(java);
        if (!preferredVm.empty()) paths.push_back(bin + "\\" + std::string(preferredVm) + "\\jvm.dll");
        for (const char* sub : kVmSubDirectories) paths.push_back(bin + "\\" + sub + "\\jvm.dll");
    }
    return paths;
}

std::optional<uint32_t> peSignatureOffset(std::span<const uint8_t> dosHeader) {
    if (dosHeader.size() < kDosHeaderSize || dosHeader[0] != 'M' || dosHeader[1] != 'Z') return std::nullopt;
    return little(dosHeader, 0x3C, 4);
}

std::optional<uint16_t> peMachine(std::span<const uint8_t> signature) {
    if (signature.size() < kPeMachineBytes || little(signature, 0, 4) != 0x00004550) return std::nullopt;
    return uint16_t(little(signature, 4, 2));
}

std::optional<std::string> vmLibraryRefusal(std::string_view library, std::optional<uint16_t> machine) {
    if (machine == kMachineAmd64) return std::nullopt;
    std::string text(library);
    if (!machine) {
        text += " is no Windows library";
        return text;
    }
    if (const char* name = machineName(*machine)) {
        text += " is for ";
        text += name;
    } else {
        // By hand: a printf of the C++ library would bring a second printf into the stub.
        text += " is for machine ";
        for (int shift = 12; shift >= 0; shift -= 4) text += "0123456789ABCDEF"[(*machine >> shift) & 0xF];
    }
    text += ", not x64";
    return text;
}

}  // namespace kestro
