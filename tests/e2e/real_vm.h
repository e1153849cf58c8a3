// The test bench's real in-process VM: Avian's jvm.dll, built from its source snapshot by
// cmake/avian.cmake, laid out as a runtime's bin\server\jvm.dll beside the java.exe
// stand-in, and the Java code compiled for its class library (build/avian/*.jar).
#pragma once

#include <string>

#include "harness.h"

namespace kestro::e2e {

// A test that runs launchers on the real VM, laid out in avian/; skipped, saying why, when
// there is none.
class RealVmTest : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        if (avianDir().empty()) GTEST_SKIP() << "no real VM to run on: " << avianUnavailable();
        bootstrap_ = layOutRealVm("avian");
        set(key::ApplicationType, "2");  // reports on standard error
        set(key::MainClass, "com.kestro.testing.RealVmApp");
        set(key::IncludedCount, "2");
        set(key::IncludedNames, "kestro-runtime.jar;real_vm_app.jar");
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

    // A launcher of the test application (tests/fixtures/java/com/kestro/testing/RealVmApp.java)
    // doing `action`, with the runtime library and the application as included files, on
    // the real VM or on the recording VM at `recording` (which then finds its archives beside it).
    fs::path launcher(const std::string& name, const std::string& action, const std::string& options = "",
                      const std::string& recording = "") {
        set(key::SearchList, recording.empty() ? "Ravian" : "R" + recording);
        set(key::VmOptions, "\"" + bootstrap_ + "\" \"-Dapp.action=" + action + "\" " + options);
        return buildLauncher(name, {{"kestro-runtime.jar", buildDir() / "tool" / "kestro-runtime.jar"},
                                    {"real_vm_app.jar", avianDir() / "real_vm_app.jar"}});
    }

    std::string bootstrap_;  // the option that the VM in avian/ needs
};

}  // namespace kestro::e2e
