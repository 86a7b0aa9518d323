// A job's lock on its folder: one holder at a time, whichever path names the
// folder, nothing written into the folder, and free again once let go.
#include "core/services/FolderLock.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

TEST(FolderLock, OneHolderAtATimeWhicheverPathNamesTheFolder) {
    TempDir tmp;
    const fs::path folder = tmp / "data" / "profile";
    fs::create_directories(folder);

    std::optional<FolderLock> first = FolderLock::tryTake(folder);
    ASSERT_TRUE(first.has_value());
    // The same folder by another path: a trailing separator, a "..", a link.
    EXPECT_FALSE(FolderLock::tryTake(tmp / "data" / "profile" / "").has_value());
    EXPECT_FALSE(FolderLock::tryTake(tmp / "data" / ".." / "data" / "profile").has_value());
#ifndef _WIN32
    fs::create_directory_symlink(folder, tmp / "link");
    EXPECT_FALSE(FolderLock::tryTake(tmp / "link").has_value());
#endif
    // Another folder, even one below, is free.
    EXPECT_TRUE(FolderLock::tryTake(tmp / "data").has_value());
    // Nothing of the lock lies in the folder.
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(folderLockFile(folder).parent_path(), folderLocksFolder());

    first.reset();
    std::optional<FolderLock> again = FolderLock::tryTake(folder);
    EXPECT_TRUE(again.has_value());
    // Moved, it is still held; let go, it is free.
    std::optional<FolderLock> moved(std::move(again));
    EXPECT_FALSE(FolderLock::tryTake(folder).has_value());
    moved.reset();
    EXPECT_TRUE(FolderLock::tryTake(folder).has_value());
}

} // namespace
} // namespace vellarion::test
