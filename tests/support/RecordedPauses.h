#pragma once

#ifndef _WIN32

#include "core/services/platform/posix/PosixSystemServices.h"

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace vellarion::test {

// The services of a prefix (SamplePrefixFixture::services(), or any POSIX
// services) whose pauses are written down instead of slept: no test waits
// for a job's fixed pauses, and each can see which ones it took.
class RecordedPauses : public PosixSystemServices {
public:
    explicit RecordedPauses(SystemServices& real)
        : PosixSystemServices(dynamic_cast<PosixSystemServices&>(real).config()) {}

    // Every pause asked for, in milliseconds, in order (from any thread: a
    // packer copies several files at once).
    std::vector<int> pauses;

    void pause(std::chrono::milliseconds duration) override {
        std::lock_guard lock(mutex_);
        pauses.push_back(static_cast<int>(duration.count()));
    }

private:
    std::mutex mutex_;
};

} // namespace vellarion::test

#endif
