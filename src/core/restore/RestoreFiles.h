#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

namespace vellarion {

// What a restore needs to know of a path, without following a link there.
struct PathStatus {
    enum class Kind { Missing, File, Folder, Link, Other };
    Kind kind = Kind::Missing;
    std::uint64_t size = 0;
    std::filesystem::perms perms = std::filesystem::perms::unknown;
    std::uint64_t device = 0; // the file system it is on (0 when unknown)
    bool ownedByUser = true;  // this user's own (always, where files have no owner)
};

// A small file kept open (and so marked as in use) while its owner works:
// a restore's journal.
class HeldFile {
public:
    virtual ~HeldFile() = default;
    // Overwrites bytes in place and forces them onto the disk.
    virtual void overwrite(std::uint64_t offset, std::string_view bytes, std::error_code& ec) = 0;
};

// Every file operation of a restore, on native paths. A restore writes into
// a profile only through this, so that a test can fail any one call (the
// Nth write, rename or sync) and prove that the profile comes out whole.
class RestoreFiles {
public:
    virtual ~RestoreFiles() = default;

    virtual PathStatus status(const std::filesystem::path& path) const = 0;
    virtual std::vector<std::filesystem::path> list(const std::filesystem::path& folder,
                                                    std::error_code& ec) const = 0;
    virtual std::uint64_t freeSpace(const std::filesystem::path& folder,
                                    std::error_code& ec) const = 0;

    // Copies a file to a new name (never replacing one) and forces it onto
    // the disk.
    virtual void copyFile(const std::filesystem::path& from, const std::filesystem::path& to,
                          std::error_code& ec) = 0;
    // Renames a file or link, replacing what `to` names (never through a link
    // there: the link itself goes).
    virtual void rename(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::error_code& ec) = 0;
    virtual void removeFile(const std::filesystem::path& path, std::error_code& ec) = 0;
    // Removes every file named (the replaced files a restore kept aside);
    // true when every one is gone. One removal waits on the disk rather than
    // the processor, so the real file system has many in flight at once.
    virtual bool removeFiles(const std::vector<std::filesystem::path>& paths);
    virtual void createFolder(const std::filesystem::path& path, std::error_code& ec) = 0;
    // Removes an empty folder.
    virtual void removeFolder(const std::filesystem::path& path, std::error_code& ec) = 0;
    virtual void setPermissions(const std::filesystem::path& path, std::filesystem::perms perms,
                                std::error_code& ec) = 0;
    // Forces a folder's entries onto the disk.
    virtual void syncFolder(const std::filesystem::path& path, std::error_code& ec) = 0;
    // Forces everything written to the file system that holds `folder` onto
    // the disk: one call for a restore's thousands of files.
    virtual void syncFileSystem(const std::filesystem::path& folder, std::error_code& ec) = 0;
    // Starts writing what the file system that holds `folder` has waiting,
    // in the background, and returns at once: so that a syncFileSystem that
    // follows once the restore has planned its swap finds little left to
    // wait for. Nothing where the system writes through anyway.
    virtual void startWriteBack(const std::filesystem::path& folder) { (void)folder; }
    // Makes a new file with `content`, on the disk, held until the object
    // goes; nothing when that fails.
    virtual std::unique_ptr<HeldFile> createHeld(const std::filesystem::path& path,
                                                 std::string_view content, std::error_code& ec) = 0;
    // Whether another run holds the file (see createHeld).
    virtual bool isHeld(const std::filesystem::path& path) const = 0;
};

// The real file system.
RestoreFiles& systemRestoreFiles();

} // namespace vellarion
