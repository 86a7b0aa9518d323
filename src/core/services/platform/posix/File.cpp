#include "core/services/platform/File.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vellarion::platform {

namespace {

std::error_code lastError() {
    return {errno, std::system_category()};
}

} // namespace

std::error_code File::closeHandle(Handle handle) {
    if (::close(handle) != 0 && errno != EINTR) {
        return lastError();
    }
    return {};
}

namespace {

// An existing regular file opened for reading with extra open flags.
int openRegular(const std::filesystem::path& path, int extraFlags, std::error_code& ec) {
    ec.clear();
    // Non-blocking, so that opening a named pipe never waits for a writer;
    // anything but a regular file is refused right after.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | extraFlags);
    if (fd < 0) {
        ec = errno == ELOOP && (extraFlags & O_NOFOLLOW) != 0 ? linkRefusedError() : lastError();
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ec = lastError();
    } else if (S_ISDIR(st.st_mode)) {
        ec = std::error_code(EISDIR, std::system_category());
    } else if (!S_ISREG(st.st_mode)) {
        ec = notRegularFileError();
    }
    if (ec) {
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return fd;
}

} // namespace

File File::openForReading(const std::filesystem::path& path, ReadShare, std::error_code& ec) {
    const int fd = openRegular(path, 0, ec);
    return fd < 0 ? File() : File(fd);
}

File File::openEntryForReading(const std::filesystem::path& path, ReadShare, std::error_code& ec) {
    const int fd = openRegular(path, O_NOFOLLOW, ec);
    return fd < 0 ? File() : File(fd);
}

namespace {

int openForWriting(const std::filesystem::path& path, int flags, mode_t mode, std::error_code& ec) {
    ec.clear();
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode);
    if (fd < 0) {
        ec = lastError();
    }
    return fd;
}

} // namespace

File File::createForWriting(const std::filesystem::path& path, std::error_code& ec) {
    const int fd = openForWriting(path, O_WRONLY | O_CREAT | O_TRUNC, 0666, ec);
    return fd < 0 ? File() : File(fd);
}

File File::createNew(const std::filesystem::path& path, std::error_code& ec) {
    const int fd = openForWriting(path, O_RDWR | O_CREAT | O_EXCL, 0600, ec);
    return fd < 0 ? File() : File(fd);
}

std::size_t File::read(void* buffer, std::size_t count, std::error_code& ec) {
    ec.clear();
    for (;;) {
        const ssize_t n = ::read(handle_, buffer, count);
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            ec = lastError();
            return 0;
        }
    }
}

std::size_t File::readAt(std::uint64_t at, void* buffer, std::size_t count, std::error_code& ec) {
    ec.clear();
    for (;;) {
        const ssize_t n = ::pread(handle_, buffer, count, static_cast<off_t>(at));
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            ec = lastError();
            return 0;
        }
    }
}

void File::write(const void* data, std::size_t count, std::error_code& ec) {
    ec.clear();
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t n = ::write(handle_, p, count);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ec = lastError();
            return;
        }
        p += n;
        count -= static_cast<std::size_t>(n);
    }
}

std::uint64_t File::copyRestTo(File& to, std::error_code& ec) {
    ec.clear();
    std::uint64_t copied = 0;
#ifdef __linux__
    // The kernel copies from page cache to page cache (or shares the blocks
    // where the file system can); a file system that cannot is copied
    // through a buffer from where it stopped.
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    for (;;) {
        const ssize_t n = ::copy_file_range(handle_, nullptr, to.handle_, nullptr, kChunk, 0);
        if (n > 0) {
            copied += static_cast<std::uint64_t>(n);
            continue;
        }
        if (n == 0) {
            return copied;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
            errno != EBADF) {
            ec = lastError();
            return copied;
        }
        break;
    }
#endif
    return copied + copyRestByBuffer(to, ec);
}

void File::seek(std::uint64_t position, std::error_code& ec) {
    ec.clear();
    if (::lseek(handle_, static_cast<off_t>(position), SEEK_SET) < 0) {
        ec = lastError();
    }
}

std::uint64_t File::size(std::error_code& ec) const {
    ec.clear();
    struct stat st {};
    if (::fstat(handle_, &st) != 0) {
        ec = lastError();
        return 0;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

void File::truncate(std::uint64_t size, std::error_code& ec) {
    ec.clear();
    if (::ftruncate(handle_, static_cast<off_t>(size)) != 0) {
        ec = lastError();
    }
}

FileStamp File::stamp(std::error_code& ec) const {
    ec.clear();
    struct stat st {};
    if (::fstat(handle_, &st) != 0) {
        ec = lastError();
        return {};
    }
    return {static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}};
}

FileIdentity File::identity(std::error_code& ec) const {
    return stamp(ec).identity;
}

namespace {

struct flock rangeOf(short type, std::uint64_t offset, std::uint64_t length) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = static_cast<off_t>(offset);
    range.l_len = static_cast<off_t>(length);
    return range;
}

} // namespace

bool File::tryLockRange(std::uint64_t offset, std::uint64_t length, bool shared) {
    struct flock range = rangeOf(shared ? F_RDLCK : F_WRLCK, offset, length);
    return ::fcntl(handle_, F_SETLK, &range) == 0;
}

void File::unlockRange(std::uint64_t offset, std::uint64_t length) {
    struct flock range = rangeOf(F_UNLCK, offset, length);
    (void)::fcntl(handle_, F_SETLK, &range);
}

bool File::rangeLockedByOther(std::uint64_t offset, std::uint64_t length) const {
    struct flock range = rangeOf(F_WRLCK, offset, length);
    return ::fcntl(handle_, F_GETLK, &range) == 0 && range.l_type != F_UNLCK;
}

bool isSharingViolation(const std::error_code&) {
    return false;
}

void File::sync(std::error_code& ec) {
    ec.clear();
    if (::fsync(handle_) != 0) {
        ec = lastError();
    }
}

struct DirectoryListing::State {
    DIR* dir = nullptr;
    std::filesystem::path folder;
    ~State() {
        if (dir != nullptr) {
            ::closedir(dir);
        }
    }
};

void File::lockExclusive(std::error_code& ec) {
    ec.clear();
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
    // A lock of the open file itself: closing another descriptor of the
    // same file in this process (a lock probe) does not drop it.
    if (::fcntl(handle_, F_OFD_SETLK, &lock) == 0) {
        return;
    }
#endif
    if (::fcntl(handle_, F_SETLK, &lock) != 0) {
        ec = lastError();
    }
}

DirectoryListing::DirectoryListing() = default;
DirectoryListing::~DirectoryListing() = default;
DirectoryListing::DirectoryListing(DirectoryListing&&) noexcept = default;
DirectoryListing& DirectoryListing::operator=(DirectoryListing&&) noexcept = default;

DirectoryListing DirectoryListing::open(const std::filesystem::path& folder, std::error_code& ec) {
    ec.clear();
    DirectoryListing listing;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        ec = lastError();
        return listing;
    }
    listing.state_ = std::make_unique<State>();
    listing.state_->dir = dir;
    listing.state_->folder = folder;
    return listing;
}

bool DirectoryListing::next(DirectoryEntry& entry, std::error_code& ec) {
    ec.clear();
    if (!state_) {
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(state_->dir);
        if (d == nullptr) {
            if (errno != 0) {
                ec = lastError();
            }
            return false;
        }
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) {
            continue;
        }
        entry.name = d->d_name;
        if (d->d_type != DT_UNKNOWN) {
            entry.isFolder = d->d_type == DT_DIR;
            entry.isLink = d->d_type == DT_LNK;
        } else {
            // Some file systems leave the type to a separate look.
            struct stat st {};
            const bool known = ::lstat((state_->folder / entry.name).c_str(), &st) == 0;
            entry.isFolder = known && S_ISDIR(st.st_mode);
            entry.isLink = known && S_ISLNK(st.st_mode);
        }
        return true;
    }
}

EntryKind entryKind(const std::filesystem::path& path, std::error_code& ec) {
    ec.clear();
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return EntryKind::Missing;
        }
        ec = lastError();
        return EntryKind::Other;
    }
    if (S_ISLNK(st.st_mode)) {
        return EntryKind::Link;
    }
    if (S_ISDIR(st.st_mode)) {
        return EntryKind::Folder;
    }
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

void createPrivateFolder(const std::filesystem::path& path, std::error_code& ec) {
    ec.clear();
    if (::mkdir(path.c_str(), 0700) != 0) {
        ec = lastError();
    }
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::error_code& ec) {
    ec.clear();
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        ec = lastError();
    }
}

void renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::error_code& ec) {
    ec.clear();
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        ec = lastError();
        return;
    }
#endif
    // A file system that cannot rename without replacing: a hard link takes
    // the name only while it is free.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EXDEV) {
        ec = lastError();
        return;
    }
    // Nor hard links (FAT, some network shares): the name is tested first.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        ec = std::make_error_code(std::errc::file_exists);
        return;
    }
    replaceFile(from, to, ec);
}

namespace {

// A lock link's target: "host-1234" or "127.0.0.1:+1234". Held when the
// process lives on this host (a name that is ours, or an address: the link
// is only ever made on the machine that holds it).
bool isLinkLockHeld(const std::filesystem::path& path) {
    char target[512];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) {
        return false;
    }
    const std::string text(target, static_cast<std::size_t>(n));
    const std::size_t cut = text.find_last_of("-+");
    if (cut == std::string::npos || cut + 1 >= text.size()) {
        return false;
    }
    std::string host = text.substr(0, cut);
    if (!host.empty() && host.back() == ':') {
        host.pop_back();
    }
    const std::string digits = text.substr(cut + 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) {
        return false;
    }
    char ours[256] = {};
    ::gethostname(ours, sizeof ours - 1);
    const bool address =
        !host.empty() && host.find_first_not_of("0123456789.:") == std::string::npos;
    if (host != ours && !address) {
        return false;
    }
    const pid_t pid = static_cast<pid_t>(std::stol(digits));
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

} // namespace

bool isLockHeld(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        return isLinkLockHeld(path);
    }
    if (!S_ISREG(st.st_mode)) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

bool isProcessAlive(unsigned long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

unsigned long currentProcessId() {
    return static_cast<unsigned long>(::getpid());
}

void syncFolder(const std::filesystem::path& folder, std::error_code& ec) {
    ec.clear();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        ec = lastError();
        return;
    }
    if (::fsync(fd) != 0 && errno != EINVAL) {
        ec = lastError();
    }
    ::close(fd);
}

} // namespace vellarion::platform
