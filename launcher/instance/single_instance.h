// Launcher processes of one executable find each other through named semaphores: every
// instance holds one, and in single-instance mode a second start hands its arguments to
// the first through a notification file and ends.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// Registers this start as an instance; in single-instance mode a second start brings
// the first instance's windows to the front, hands it its arguments (when `notify` is
// set) and ends the process with exit code 0. A hand-over that fails ends it with a
// fatal report. A first instance that ends before it has taken the arguments makes the
// start check again: it may now be the first instance and return.
void checkSingleInstance(bool allowNumbering, bool notify);

// The name of this process's instance semaphore, handed to the application; empty
// until the instance step has named it (it never does in a language restart).
std::string& instanceSemaphoreName();

// The per-user record of the first instance's process id, under the executable's
// canonical path, and beside it the process's creation time: a process id is reused
// once its process has ended, perhaps by a second start of the same executable. The
// write reports whether the registry took it; the read gives 0 when the value is
// missing, unreadable or not 4 bytes long (the creation time: 0 when it is not 8 bytes
// long, as a launcher that recorded none leaves it).
bool registerInstancePid(uint32_t processId);
uint32_t readInstancePid();
uint64_t readInstanceCreationTime();

// Whether some process still holds the instance semaphore; asking creates nothing.
bool isFirstInstanceAlive();

// Whether `processId` is a running process other than this one, started from this
// executable's file (however its path is spelt) and, unless `creationTime` is 0,
// created at that time (a FILETIME).
bool runsThisExecutable(uint32_t processId, uint64_t creationTime = 0);

// The creation time of a process (a FILETIME); 0 when it cannot be read.
uint64_t processCreationTime(void* process);

// Brings the visible top-level windows of `processId` to the front, restoring minimised
// ones when `restore` is set.
void activateInstanceWindows(uint32_t processId, bool restore);

// Closes this process's instance semaphore, so that a launcher started now is the first
// instance (a restart).
void leaveInstance();

}  // namespace kestro
