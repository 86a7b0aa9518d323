#include "core/services/FolderLock.h"

#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/RunToken.h"
#include "core/services/Sha256.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>

namespace vellarion {

namespace fs = std::filesystem;

namespace {

// The digits of the hash a lock file is named with: enough that two folders
// never share one.
constexpr std::size_t kNameDigits = 32;

std::string canonicalText(const fs::path& folder) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    if (ec) {
        canonical = folder.lexically_normal();
    }
    std::string text = pathToUtf8(canonical);
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) {
        text.pop_back();
    }
#ifdef _WIN32
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c < 0x80 ? std::tolower(c) : c);
    });
#endif
    return text;
}

void makePrivateFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec && !fs::is_directory(folder)) {
        throw FolderCreateError(pathToUtf8(folder), ec);
    }
#ifndef _WIN32
    ::chmod(folder.c_str(), 0700);
#endif
}

} // namespace

fs::path folderLocksFolder() {
    const fs::path key = runKeyFile();
    if (key.empty()) {
        return fs::temp_directory_path() / "vellarion-locks";
    }
    return key.parent_path() / "locks";
}

fs::path folderLockFile(const fs::path& folder) {
    Sha256 hash;
    hash.update(canonicalText(folder));
    return folderLocksFolder() / (hash.hexDigest().substr(0, kNameDigits) + ".lock");
}

std::optional<FolderLock> FolderLock::tryTake(const fs::path& folder) {
    const fs::path file = folderLockFile(folder);
    makePrivateFolder(file.parent_path());
#ifdef _WIN32
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        throw FileOpenError(pathToUtf8(file), std::error_code(static_cast<int>(::GetLastError()),
                                                              std::system_category()));
    }
    OVERLAPPED whole{};
    if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                      &whole)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
            return std::nullopt;
        }
        throw FileOpenError(pathToUtf8(file),
                            std::error_code(static_cast<int>(error), std::system_category()));
    }
    return FolderLock(reinterpret_cast<std::intptr_t>(h));
#else
    // Never through a link: the file is ours, in our private folder.
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        throw FileOpenError(pathToUtf8(file), std::error_code(errno, std::generic_category()));
    }
    // flock belongs to the open file: another open of it, in this process or
    // another, is refused; the system drops it with the last descriptor.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK || error == EINTR) {
            return std::nullopt;
        }
        throw FileOpenError(pathToUtf8(file), std::error_code(error, std::generic_category()));
    }
    return FolderLock(fd);
#endif
}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = other.handle_;
        other.handle_ = kNone;
    }
    return *this;
}

FolderLock::~FolderLock() {
    release();
}

void FolderLock::release() noexcept {
    if (handle_ == kNone) {
        return;
    }
#ifdef _WIN32
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
#else
    ::close(static_cast<int>(handle_));
#endif
    handle_ = kNone;
}

} // namespace vellarion
