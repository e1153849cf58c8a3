// Runs onto a full disk: a 64 KB tmpfs mounted as a test's temporary root (tmp/), where
// the launcher extracts its files and the notification file of a hand-over lies.
#pragma once

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

#include "harness.h"

namespace kestro::e2e {

template <class Base>
class OnSmallDisk : public Base {
protected:
    void SetUp() override {
        // A mount left behind by an interrupted run would keep the old directory alive.
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        umount2((buildDir() / "e2e" / info->test_suite_name() / info->name() / "tmp").c_str(), MNT_DETACH);
        Base::SetUp();
        if (mount("tmpfs", this->tmp_.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted_ = true;
    }
    // The base's own clean-up (programs still running there) comes before the unmount.
    void TearDown() override {
        Base::TearDown();
        if (mounted_) umount2(this->tmp_.c_str(), MNT_DETACH);
    }

private:
    bool mounted_ = false;
};

}  // namespace kestro::e2e
