#include "core/services/platform/File.h"

#include <string>
#include <utility>
#include <windows.h>

namespace vellarion::platform {

namespace {

std::error_code lastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// ReadFile and WriteFile take 32-bit counts.
constexpr std::size_t maxTransfer = 1u << 30;

} // namespace

std::error_code File::closeHandle(Handle handle) {
    if (!::CloseHandle(handle)) {
        return lastError();
    }
    return {};
}

File File::openForReading(const std::filesystem::path& path, ReadShare share, std::error_code& ec) {
    ec.clear();
    const DWORD shareMode = share == ReadShare::DenyWrite
                                ? FILE_SHARE_READ
                                : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ec = lastError();
        return File();
    }
    File file(h);
    // A device name such as CON opens; only disk files are packed.
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ec = notRegularFileError();
        return File();
    }
    return file;
}

namespace {

// A symbolic link or a junction: a name that leads somewhere else. Other
// reparse points (files kept in the cloud, deduplicated files) hold their
// own data.
bool isLinkTag(DWORD attributes, DWORD tag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT);
}

} // namespace

File File::openEntryForReading(const std::filesystem::path& path, ReadShare share,
                               std::error_code& ec) {
    ec.clear();
    const DWORD shareMode = share == ReadShare::DenyWrite
                                ? FILE_SHARE_READ
                                : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = ::CreateFileW(
        path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ec = lastError();
        return File();
    }
    File file(h);
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof tag)) {
        if (isLinkTag(tag.FileAttributes, tag.ReparseTag)) {
            ec = linkRefusedError();
            return File();
        }
        if ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            // A reparse point holding its own data is read through its driver.
            return openForReading(path, share, ec);
        }
        if ((tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            ec = std::error_code(ERROR_ACCESS_DENIED, std::system_category());
            return File();
        }
    }
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ec = notRegularFileError();
        return File();
    }
    return file;
}

namespace {

// A file opened for writing that nobody else may open meanwhile.
HANDLE createWith(const std::filesystem::path& path, DWORD access, DWORD disposition,
                  std::error_code& ec) {
    ec.clear();
    HANDLE h = ::CreateFileW(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ec = lastError();
    }
    return h;
}

} // namespace

File File::createForWriting(const std::filesystem::path& path, std::error_code& ec) {
    HANDLE h = createWith(path, GENERIC_WRITE, CREATE_ALWAYS, ec);
    return ec ? File() : File(h);
}

File File::createNew(const std::filesystem::path& path, std::error_code& ec) {
    HANDLE h = createWith(path, GENERIC_READ | GENERIC_WRITE | DELETE, CREATE_NEW, ec);
    return ec ? File() : File(h);
}

std::uint64_t File::copyRestTo(File& to, std::error_code& ec) {
    ec.clear();
    return copyRestByBuffer(to, ec);
}

std::size_t File::read(void* buffer, std::size_t count, std::error_code& ec) {
    ec.clear();
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(count < maxTransfer ? count : maxTransfer);
    if (!::ReadFile(handle_, buffer, want, &done, nullptr)) {
        ec = lastError();
        return 0;
    }
    return done;
}

std::size_t File::readAt(std::uint64_t at, void* buffer, std::size_t count, std::error_code& ec) {
    ec.clear();
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(count < maxTransfer ? count : maxTransfer);
    if (!::ReadFile(handle_, buffer, want, &done, &where)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) {
            return 0;
        }
        ec = lastError();
        return 0;
    }
    return done;
}

void File::write(const void* data, std::size_t count, std::error_code& ec) {
    ec.clear();
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        DWORD done = 0;
        const DWORD want = static_cast<DWORD>(count < maxTransfer ? count : maxTransfer);
        if (!::WriteFile(handle_, p, want, &done, nullptr)) {
            ec = lastError();
            return;
        }
        p += done;
        count -= done;
    }
}

void File::seek(std::uint64_t position, std::error_code& ec) {
    ec.clear();
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!::SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) {
        ec = lastError();
    }
}

std::uint64_t File::size(std::error_code& ec) const {
    ec.clear();
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle_, &size)) {
        ec = lastError();
        return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

void File::truncate(std::uint64_t size, std::error_code& ec) {
    ec.clear();
    LARGE_INTEGER here{};
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(handle_, zero, &here, FILE_CURRENT)) {
        ec = lastError();
        return;
    }
    seek(size, ec);
    if (ec) {
        return;
    }
    if (!::SetEndOfFile(handle_)) {
        ec = lastError();
        return;
    }
    // Like ftruncate: the position stays where it was.
    seek(static_cast<std::uint64_t>(here.QuadPart), ec);
}

FileStamp File::stamp(std::error_code& ec) const {
    ec.clear();
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle_, &info)) {
        ec = lastError();
        return {};
    }
    const auto joined = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    return {joined(info.nFileSizeHigh, info.nFileSizeLow),
            static_cast<std::int64_t>(
                joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)),
            {info.dwVolumeSerialNumber, joined(info.nFileIndexHigh, info.nFileIndexLow)}};
}

FileIdentity File::identity(std::error_code& ec) const {
    return stamp(ec).identity;
}

bool File::tryLockRange(std::uint64_t offset, std::uint64_t length, bool shared) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (shared ? 0 : LOCKFILE_EXCLUSIVE_LOCK);
    return ::LockFileEx(handle_, flags, 0, static_cast<DWORD>(length),
                        static_cast<DWORD>(length >> 32), &at) != 0;
}

void File::unlockRange(std::uint64_t offset, std::uint64_t length) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    (void)::UnlockFileEx(handle_, 0, static_cast<DWORD>(length), static_cast<DWORD>(length >> 32),
                         &at);
}

bool File::rangeLockedByOther(std::uint64_t offset, std::uint64_t length) const {
    File& self = const_cast<File&>(*this);
    if (!self.tryLockRange(offset, length, false)) {
        return true;
    }
    self.unlockRange(offset, length);
    return false;
}

bool isSharingViolation(const std::error_code& ec) {
    return ec.category() == std::system_category() &&
           (ec.value() == ERROR_SHARING_VIOLATION || ec.value() == ERROR_LOCK_VIOLATION);
}

void File::sync(std::error_code& ec) {
    ec.clear();
    if (!::FlushFileBuffers(handle_)) {
        ec = lastError();
    }
}

struct DirectoryListing::State {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = true; // data holds an entry not handed out yet
    ~State() {
        if (find != INVALID_HANDLE_VALUE) {
            ::FindClose(find);
        }
    }
};

void File::lockExclusive(std::error_code& ec) {
    ec.clear(); // the handle denies every sharing already
}

DirectoryListing::DirectoryListing() = default;
DirectoryListing::~DirectoryListing() = default;
DirectoryListing::DirectoryListing(DirectoryListing&&) noexcept = default;
DirectoryListing& DirectoryListing::operator=(DirectoryListing&&) noexcept = default;

DirectoryListing DirectoryListing::open(const std::filesystem::path& folder, std::error_code& ec) {
    ec.clear();
    DirectoryListing listing;
    auto state = std::make_unique<State>();
    const std::filesystem::path pattern = folder / L"*";
    state->find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &state->data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (state->find == INVALID_HANDLE_VALUE) {
        ec = lastError();
        return listing;
    }
    listing.state_ = std::move(state);
    return listing;
}

bool DirectoryListing::next(DirectoryEntry& entry, std::error_code& ec) {
    ec.clear();
    if (!state_) {
        return false;
    }
    for (;;) {
        if (!state_->pending) {
            if (!::FindNextFileW(state_->find, &state_->data)) {
                if (::GetLastError() != ERROR_NO_MORE_FILES) {
                    ec = lastError();
                }
                return false;
            }
        }
        state_->pending = false;
        const std::wstring_view name = state_->data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const DWORD attributes = state_->data.dwFileAttributes;
        entry.name = std::filesystem::path(std::wstring(name));
        // Junctions and links to folders are not followed: they may lead out
        // of the tree or round in a circle.
        entry.isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        entry.isLink = isLinkTag(attributes, state_->data.dwReserved0);
        return true;
    }
}

EntryKind entryKind(const std::filesystem::path& path, std::error_code& ec) {
    ec.clear();
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return EntryKind::Missing;
        }
        ec = lastError();
        return EntryKind::Other;
    }
    // Any reparse point counts: nothing is ever written through one.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return EntryKind::Link;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
}

void createPrivateFolder(const std::filesystem::path& path, std::error_code& ec) {
    ec.clear();
    // A new folder inherits its parent's access list: private below a
    // private folder.
    if (!::CreateDirectoryW(path.c_str(), nullptr)) {
        ec = lastError();
    }
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::error_code& ec) {
    ec.clear();
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ec = lastError();
    }
}

void renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::error_code& ec) {
    ec.clear();
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ec = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                 ? std::make_error_code(std::errc::file_exists)
                 : lastError();
    }
}

bool isLockHeld(const std::filesystem::path& path) {
    // Browsers keep their lock file open denying others (some) sharing: an
    // open that denies all sharing then fails.
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    }
    ::CloseHandle(h);
    return false;
}

bool isProcessAlive(unsigned long pid) {
    HANDLE h = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (h == nullptr) {
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    const bool running = ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    ::CloseHandle(h);
    return running;
}

unsigned long currentProcessId() {
    return ::GetCurrentProcessId();
}

void syncFolder(const std::filesystem::path&, std::error_code& ec) {
    ec.clear();
}

} // namespace vellarion::platform
