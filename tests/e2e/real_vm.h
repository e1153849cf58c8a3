// The test bench's real in-process VM: Avian's jvm.dll, built from its source snapshot by
// cmake/avian.cmake, laid out as a runtime's bin\server\jvm.dll beside the java.exe
// stand-in, and the Java code compiled for its class library (build/avian/*.jar).
#pragma once

#include <string>

#include "harness.h"

namespace kestro::e2e {

// The directory of the built VM and of the jars compiled for it; empty without a snapshot.
inline fs::path avianDir() { return KESTRO_AVIAN_DIR; }

// A test that runs launchers on the real VM; skipped, saying why, when there is none.
class RealVmTest : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        if (avianDir().empty()) GTEST_SKIP() << "no real VM to run on: " << KESTRO_AVIAN_UNAVAILABLE;
    }

    // Lays out a runtime at dir_/name (a java.exe stand-in that reports 1.8.0_201, and
    // Avian as bin\server\jvm.dll) and returns the VM option that Avian needs: the full
    // path of its own library, without which it finds no class library.
    std::string layOutRealVm(const std::string& name) {
        fs::path home = layOut(name, {.vmLibraries = {}});
        fs::create_directories(vmLibraryOf(home).parent_path());
        fs::copy_file(avianDir() / "jvm.dll", vmLibraryOf(home));
        return "-Davian.bootstrap=" + windowsPath(vmLibraryOf(home));
    }
};

}  // namespace kestro::e2e
