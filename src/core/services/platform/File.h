#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

namespace vellarion::platform {

// How a file opened for reading is shared with other programs meanwhile.
enum class ReadShare {
    DenyWrite, // others may read it, but nobody may write to it
    DenyNone,  // nothing is denied
};

// Identifies a file on its volume, whatever name it was opened by.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What tells one state of a file from the next: its size, the time of its
// last write (in the system's finest unit) and its identity. A writer that
// changed a file meanwhile, or renamed another over its name, changes it.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    FileIdentity identity;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The error a file that is not a regular file (a directory, a pipe, a
// device) is refused with when it is opened for reading.
std::error_code notRegularFileError();

// An open native file handle, closed when the object goes away. Failures come
// back as error codes (errno / GetLastError in the system category) so that
// callers word their own messages.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens an existing regular file for reading.
    static File openForReading(const std::filesystem::path& path, ReadShare share,
                               std::error_code& ec);

    // Creates a file for writing that nobody else may open while it is open;
    // an existing file of that name is replaced.
    static File createForWriting(const std::filesystem::path& path, std::error_code& ec);

    // Creates a file for writing that must not exist yet. On POSIX only its
    // owner may read it: it is meant for archives of private data.
    static File createNew(const std::filesystem::path& path, std::error_code& ec);

    // Like openForReading, but a symbolic link, junction or other reparse
    // point at the path itself is refused (linkRefusedError()) rather than
    // followed, so that a name swapped for a link meanwhile is never read.
    static File openEntryForReading(const std::filesystem::path& path, ReadShare share,
                                    std::error_code& ec);

    bool isOpen() const;

    // Reads up to count bytes from the current position; returns the number
    // read, 0 at the end of the file.
    std::size_t read(void* buffer, std::size_t count, std::error_code& ec);

    // Reads up to count bytes at offset `at`; 0 at the end of the file. On
    // POSIX the position stays, and several threads may read at once; on
    // Windows the position moves past what was read.
    std::size_t readAt(std::uint64_t at, void* buffer, std::size_t count, std::error_code& ec);

    // Writes all count bytes at the current position.
    void write(const void* data, std::size_t count, std::error_code& ec);

    void seek(std::uint64_t position, std::error_code& ec);

    // Copies the rest of this file, from its position, into `to` at its
    // position: inside the system where it can, without passing the bytes
    // through the program's memory. The bytes copied.
    std::uint64_t copyRestTo(File& to, std::error_code& ec);

    std::uint64_t size(std::error_code& ec) const;
    void truncate(std::uint64_t size, std::error_code& ec);
    FileIdentity identity(std::error_code& ec) const;
    FileStamp stamp(std::error_code& ec) const;

    // Byte-range locks taken without waiting, as databases share a file
    // between readers and writers: true once taken, false while another
    // process holds one in the way (or on an error). On POSIX only a shared
    // (read) lock can be taken on a file opened for reading.
    bool tryLockRange(std::uint64_t offset, std::uint64_t length, bool shared);
    void unlockRange(std::uint64_t offset, std::uint64_t length);
    // Whether another process holds any lock on the range.
    bool rangeLockedByOther(std::uint64_t offset, std::uint64_t length) const;

    // Forces what was written onto the disk.
    void sync(std::error_code& ec);

    // Marks the file as in use by this process for as long as it stays open,
    // so that isLockHeld answers true for it in any process. On Windows a
    // file made by createNew denies every sharing already.
    void lockExclusive(std::error_code& ec);

    // Closes the handle; reports what the system says about the last writes.
    void close(std::error_code& ec);

private:
#ifdef _WIN32
    using Handle = void*;
    static inline const Handle invalidHandle = reinterpret_cast<Handle>(static_cast<intptr_t>(-1));
#else
    using Handle = int;
    static constexpr Handle invalidHandle = -1;
#endif
    explicit File(Handle handle) : handle_(handle) {}
    // copyRestTo through a buffer of the program's.
    std::uint64_t copyRestByBuffer(File& to, std::error_code& ec);
    // Closes a valid handle; what the system said about it.
    static std::error_code closeHandle(Handle handle);

    Handle handle_ = invalidHandle;
};

// One entry of a folder listing.
struct DirectoryEntry {
    std::filesystem::path name; // without the folder
    bool isFolder = false;      // a real folder, not a link or junction to one
    bool isLink = false;        // a symbolic link or junction, whatever it leads to
};

// Lists a folder in the order the system gives, with every kind of entry
// (hidden and system ones too) but "." and "..".
class DirectoryListing {
public:
    DirectoryListing();
    ~DirectoryListing();
    DirectoryListing(DirectoryListing&& other) noexcept;
    DirectoryListing& operator=(DirectoryListing&& other) noexcept;

    static DirectoryListing open(const std::filesystem::path& folder, std::error_code& ec);

    // The next entry; false at the end of the listing (ec set if it broke off).
    bool next(DirectoryEntry& entry, std::error_code& ec);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The error a link met where none may be is refused with.
std::error_code linkRefusedError();

// What a name is on the disk, without following a link at the name itself.
enum class EntryKind { Missing, File, Folder, Link, Other };
EntryKind entryKind(const std::filesystem::path& path, std::error_code& ec);

// Creates one folder that only its owner may enter (0700 on POSIX); an
// existing entry of that name is an error (std::errc::file_exists).
void createPrivateFolder(const std::filesystem::path& path, std::error_code& ec);

// Renames from over to, replacing a file of that name in one step.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::error_code& ec);

// Renames from to `to` only while nothing has that name: an entry there, of
// any kind, is kept and std::errc::file_exists reported, so that two writers
// never take one name.
void renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::error_code& ec);

// Replaces the file at `path` with `content` in one step: written to a new
// file beside it, forced onto the disk, given the old file's permissions
// (a new file stays private), then renamed over it. Until then the old file
// stays whole; on failure the new one is removed and `ec` says why.
void replaceFileContent(const std::filesystem::path& path, std::string_view content,
                        std::error_code& ec);

// Whether a running program holds the lock file at `path`, the way browsers
// mark a profile as in use: on Windows, a file that cannot be opened because
// another handle denies sharing; on POSIX, a record lock (fcntl) another
// process holds, or a symbolic link naming this host and a live process
// ("host-1234", "127.0.0.1:+1234"). A lock file left behind by a program
// that ended is not held; neither is a missing one.
bool isLockHeld(const std::filesystem::path& path);

// Whether an open failed because another program holds the file open
// without sharing it (Windows); never on POSIX.
bool isSharingViolation(const std::error_code& ec);

// Whether the process with this id runs on this machine now.
bool isProcessAlive(unsigned long pid);

// The current process's id.
unsigned long currentProcessId();

// Forces a folder's entries (files made, renamed or removed in it) onto the
// disk. Nothing to do on Windows, where renames are written through.
void syncFolder(const std::filesystem::path& folder, std::error_code& ec);

} // namespace vellarion::platform
