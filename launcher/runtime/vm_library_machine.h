// Whether a runtime's VM library can be loaded into this 64-bit x64 launcher at all,
// told from its PE header before the runtime is chosen: on Windows on ARM, ARM64 and
// x64 runtimes register alike, and an x86 runtime is found like any other, while the
// probe's java executable runs whatever its machine.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

inline constexpr uint16_t kMachineAmd64 = 0x8664;

// Where the VM library of the runtime of `javaExe` is looked for, in the order the load
// tries: below its bin directory the preferred sub-directory (key 152) when there is
// one, then "hotspot", "client", "server", "classic", "jrockit"; then the same below
// the JDK's embedded runtime.
inline constexpr const char* kVmSubDirectories[] = {"hotspot", "client", "server", "classic", "jrockit"};
std::vector<std::string> vmLibraryCandidates(std::string_view javaExe, std::string_view preferredVm);

// The offset of the PE signature, from an image's first 64 bytes (the DOS header):
// none unless they begin with "MZ". The offset itself is not trusted; the caller reads
// what lies there.
inline constexpr size_t kDosHeaderSize = 64;
std::optional<uint32_t> peSignatureOffset(std::span<const uint8_t> dosHeader);

// The machine field from the 6 bytes at the PE signature ("PE\0\0", then the field);
// none when they are fewer or the signature is not there.
inline constexpr size_t kPeMachineBytes = 6;
std::optional<uint16_t> peMachine(std::span<const uint8_t> signature);

// Why the VM library at `library` cannot be loaded here, for the trace and the report of
// runtimes passed over: "<library> is for ARM64, not x64", or that it is no Windows
// library (none: a machine unknown). None for an x64 library.
std::optional<std::string> vmLibraryRefusal(std::string_view library, std::optional<uint16_t> machine);

// The refusal of the first VM library of the runtime of `javaExe` that opens, in the
// order of vmLibraryCandidates; none when it is x64 or no library opens. Reads two small
// pieces of its header and nothing else.
std::optional<std::string> vmLibraryRefusalOf(const std::string& javaExe);

}  // namespace kestro
