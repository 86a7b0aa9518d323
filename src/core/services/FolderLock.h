#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vellarion {

// A job's hold on a folder it works on (a data root, a profile): an
// exclusive lock the system keeps for the process that took it and drops
// when the process ends, however it ends, so that a crash never leaves a
// folder held. The lock lies on a file of its own in a private folder of the
// user (folderLocksFolder), named after the folder's canonical path (links
// resolved; on Windows without regard to case): two jobs on one folder meet
// there whichever path names it, and nothing is ever written into the
// folder itself.
class FolderLock {
public:
    // The lock, or nothing when another job holds it. Throws Error when the
    // lock file can be neither made nor opened.
    static std::optional<FolderLock> tryTake(const std::filesystem::path& folder);

    FolderLock(FolderLock&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
    FolderLock& operator=(FolderLock&& other) noexcept;
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    static constexpr std::intptr_t kNone = -1;
    explicit FolderLock(std::intptr_t handle) : handle_(handle) {}
    void release() noexcept;
    std::intptr_t handle_ = kNone;
};

// The user's folder of lock files: "locks" in the program's folder of the
// user's configuration (beside runKeyFile), private to the user.
std::filesystem::path folderLocksFolder();
// The lock file of `folder` there.
std::filesystem::path folderLockFile(const std::filesystem::path& folder);

} // namespace vellarion
