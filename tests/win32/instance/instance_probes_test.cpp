// What a second start asks of the system about its first instance: whether a process id
// names a running process of this executable, and whether the instance semaphore is
// still held; neither question may change the answer to the other.
#include "common/win32_handles.h"
#include "instance/single_instance.h"
#include "support/win32_test.h"

namespace kestro::test {
namespace {

// Started suspended: alive, and never running a line of its own.
PROCESS_INFORMATION startSuspended(const std::wstring& program) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    EXPECT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                               nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);
    return process;
}

TEST(InstanceProbes, OnlyARunningProcessOfThisExecutableIsAnInstance) {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), DWORD(self.size())));
    PROCESS_INFORMATION same = startSuspended(self);
    PROCESS_INFORMATION other = startSuspended((fixturesDirectory() / "trivial.exe").wstring());
    UniqueHandle sameHandle(same.hProcess), otherHandle(other.hProcess);
    EXPECT_TRUE(runsThisExecutable(same.dwProcessId));
    EXPECT_FALSE(runsThisExecutable(other.dwProcessId));
    EXPECT_FALSE(runsThisExecutable(GetCurrentProcessId()));
    EXPECT_FALSE(runsThisExecutable(0));
    // Its id reused by a later process: the recorded creation time tells them apart.
    uint64_t created = processCreationTime(same.hProcess);
    EXPECT_NE(created, 0u);
    EXPECT_TRUE(runsThisExecutable(same.dwProcessId, created));
    EXPECT_FALSE(runsThisExecutable(same.dwProcessId, created - 1));
    // Ended: its id stays reserved while this test holds the handle.
    TerminateProcess(same.hProcess, 1);
    WaitForSingleObject(same.hProcess, INFINITE);
    EXPECT_FALSE(runsThisExecutable(same.dwProcessId));
    TerminateProcess(other.hProcess, 1);
}

// A probe that created the semaphore would, while it held it, make a new start find it
// held after the first instance has ended: a second instance of nobody.
TEST(InstanceProbes, AskingForTheFirstInstanceCreatesNoSemaphore) {
    instanceSemaphoreName() = "Local\\kestro-probe-" + std::to_string(GetCurrentProcessId());
    struct Probing { volatile LONG done = 0, aliveAnswers = 0; } probing;
    auto probe = [](void* data) -> DWORD {
        auto& p = *static_cast<Probing*>(data);
        while (!p.done)
            if (isFirstInstanceAlive()) InterlockedIncrement(&p.aliveAnswers);
        return 0;
    };
    UniqueHandle prober(CreateThread(nullptr, 0, probe, &probing, 0, nullptr));
    int seen = 0;
    for (int look = 0; look < 2000; ++look)
        seen += bool(UniqueHandle(OpenSemaphoreA(SYNCHRONIZE, FALSE, instanceSemaphoreName().c_str())));
    probing.done = 1;
    WaitForSingleObject(prober.get(), INFINITE);
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(probing.aliveAnswers, 0);
    UniqueHandle held(CreateSemaphoreA(nullptr, 1, 1, instanceSemaphoreName().c_str()));
    EXPECT_TRUE(isFirstInstanceAlive());
    instanceSemaphoreName().clear();
}

}  // namespace
}  // namespace kestro::test
