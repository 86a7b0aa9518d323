#pragma once

// A lock file held the way a running browser holds it, for as long as the
// object lives: on Windows a handle that denies every kind of sharing; on
// POSIX a record lock (fcntl) taken by another process, since a process
// never conflicts with its own record locks.

#include <filesystem>

namespace vellarion::test {

class HeldLock {
public:
    // Creates the file when it is missing.
    explicit HeldLock(const std::filesystem::path& file);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int pid_ = -1;
#endif
};

} // namespace vellarion::test
