#include <windows.h>

#include <array>

#include "common/win32_handles.h"
#include "config/config_tables.h"
#include "runtime/vm_library_machine.h"

namespace kestro {

namespace {

bool readAt(HANDLE file, uint64_t offset, std::span<uint8_t> bytes) {
    OVERLAPPED at{};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    DWORD got = 0;
    return ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, &at) && got == bytes.size();
}

// The machine field of an open image; none when its headers cannot be read.
std::optional<uint16_t> machineOf(HANDLE file) {
    std::array<uint8_t, kDosHeaderSize> dos{};
    if (!readAt(file, 0, dos)) return std::nullopt;
    std::optional<uint32_t> offset = peSignatureOffset(dos);
    std::array<uint8_t, kPeMachineBytes> signature{};
    if (!offset || !readAt(file, *offset, signature)) return std::nullopt;
    return peMachine(signature);
}

}  // namespace

std::optional<std::string> vmLibraryRefusalOf(const std::string& javaExe) {
    constexpr size_t kPreferredVmCapacity = 200;
    for (const std::string& path : vmLibraryCandidates(javaExe, lookupString(key::PreferredVm, kPreferredVmCapacity))) {
        // Only the library the load would take counts; a runtime without one is left to
        // the load, which reports it by the kind of place it was found in.
        UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return vmLibraryRefusal("jvm.dll", machineOf(file.get()));
    }
    return std::nullopt;
}

}  // namespace kestro
