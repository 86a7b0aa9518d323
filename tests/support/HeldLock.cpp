#include "HeldLock.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vellarion::test {

#ifdef _WIN32

HeldLock::HeldLock(const std::filesystem::path& file) {
    handle_ = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << file.string();
}

HeldLock::~HeldLock() {
    if (handle_ != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle_);
    }
}

#else

HeldLock::HeldLock(const std::filesystem::path& file) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
        // The child holds the lock until it is killed.
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT, 0644);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        const char done = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
        (void)!::write(ready[1], &done, 1);
        for (;;) {
            ::pause();
        }
    }
    ::close(ready[1]);
    char answer = 'n';
    EXPECT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(answer, 'y') << "the lock could not be taken";
}

HeldLock::~HeldLock() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

#endif

} // namespace vellarion::test
