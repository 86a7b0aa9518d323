#pragma once

// A full disk, as a job meets it: while the object lives, no file of the
// process may grow past the limit; a write beyond it fails (EFBIG) instead
// of ending the process.
#ifndef _WIN32

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace vellarion::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &saved_), 0);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved_;
        small.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit saved_ {};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace vellarion::test

#endif
