#include "core/restore/RestoreFiles.h"

#include "core/services/platform/File.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace vellarion {

namespace fs = std::filesystem;

bool RestoreFiles::removeFiles(const std::vector<fs::path>& paths) {
    bool whole = true;
    for (const fs::path& path : paths) {
        std::error_code ec;
        removeFile(path, ec);
        whole = whole && !ec;
    }
    return whole;
}

namespace {

// Removals at once: each one mostly waits for the file system's journal
// (and a discard of the freed blocks), which takes many together as one.
constexpr std::size_t kRemovalsInFlight = 32;
// Fewer files than this are not worth a thread each.
constexpr std::size_t kFilesPerRemover = 16;

class SystemHeldFile : public HeldFile {
public:
    explicit SystemHeldFile(platform::File file) : file_(std::move(file)) {}
    void overwrite(std::uint64_t offset, std::string_view bytes, std::error_code& ec) override {
        file_.seek(offset, ec);
        if (!ec) {
            file_.write(bytes.data(), bytes.size(), ec);
        }
        if (!ec) {
            file_.sync(ec);
        }
    }

private:
    platform::File file_;
};

class SystemRestoreFiles : public RestoreFiles {
public:
    PathStatus status(const fs::path& path) const override {
        PathStatus result;
#ifndef _WIN32
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            return result;
        }
        result.device = static_cast<std::uint64_t>(st.st_dev);
        result.size = static_cast<std::uint64_t>(st.st_size);
        result.perms = static_cast<fs::perms>(st.st_mode & 07777);
        static const uid_t user = ::geteuid();
        result.ownedByUser = st.st_uid == user;
        if (S_ISLNK(st.st_mode)) {
            result.kind = PathStatus::Kind::Link;
        } else if (S_ISREG(st.st_mode)) {
            result.kind = PathStatus::Kind::File;
        } else if (S_ISDIR(st.st_mode)) {
            result.kind = PathStatus::Kind::Folder;
        } else {
            result.kind = PathStatus::Kind::Other;
        }
#else
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(path, ec);
        if (ec || st.type() == fs::file_type::not_found) {
            return result;
        }
        // Access on Windows comes from the folder's ACL: the mode bits the
        // library makes up (writable by all) say nothing about who wrote it.
        result.perms = fs::perms::unknown;
        result.device = 1;
        switch (st.type()) {
        case fs::file_type::symlink:
            result.kind = PathStatus::Kind::Link;
            break;
        case fs::file_type::regular:
            result.kind = PathStatus::Kind::File;
            result.size = fs::file_size(path, ec);
            break;
        case fs::file_type::directory:
            result.kind = PathStatus::Kind::Folder;
            break;
        default:
            // A junction and other reparse points are links to the program.
            result.kind = (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                              ? PathStatus::Kind::Link
                              : PathStatus::Kind::Other;
        }
        if (result.kind == PathStatus::Kind::Folder &&
            (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            result.kind = PathStatus::Kind::Link;
        }
        // Each drive is a file system of its own.
        const std::wstring root = path.root_name().wstring();
        result.device = root.empty() ? 1 : static_cast<std::uint64_t>(root[0]);
#endif
        return result;
    }

    std::vector<fs::path> list(const fs::path& folder, std::error_code& ec) const override {
        std::vector<fs::path> names;
        platform::DirectoryListing listing = platform::DirectoryListing::open(folder, ec);
        platform::DirectoryEntry entry;
        while (!ec && listing.next(entry, ec)) {
            names.push_back(entry.name);
        }
        return names;
    }

    std::uint64_t freeSpace(const fs::path& folder, std::error_code& ec) const override {
        const fs::space_info info = fs::space(folder, ec);
        return ec ? 0 : info.available;
    }

    void copyFile(const fs::path& from, const fs::path& to, std::error_code& ec) override {
        platform::File in =
            platform::File::openForReading(from, platform::ReadShare::DenyWrite, ec);
        if (ec) {
            return;
        }
        platform::File out = platform::File::createNew(to, ec);
        if (ec) {
            return;
        }
        constexpr std::size_t kChunk = 1 << 20;
        std::vector<char> buffer(kChunk);
        for (;;) {
            const std::size_t n = in.read(buffer.data(), kChunk, ec);
            if (ec || n == 0) {
                break;
            }
            out.write(buffer.data(), n, ec);
            if (ec) {
                break;
            }
        }
        if (!ec) {
            out.sync(ec);
        }
        std::error_code closed;
        out.close(closed);
        if (!ec && closed) {
            ec = closed;
        }
        if (ec) {
            std::error_code ignored;
            fs::remove(to, ignored);
        }
    }

    void rename(const fs::path& from, const fs::path& to, std::error_code& ec) override {
        platform::replaceFile(from, to, ec);
    }

    void removeFile(const fs::path& path, std::error_code& ec) override {
        ec.clear();
        if (!fs::remove(path, ec) && !ec) {
            ec = std::make_error_code(std::errc::no_such_file_or_directory);
        }
    }

    bool removeFiles(const std::vector<fs::path>& paths) override {
        const std::size_t count =
            std::min(kRemovalsInFlight, (paths.size() + kFilesPerRemover - 1) / kFilesPerRemover);
        if (count <= 1) {
            return RestoreFiles::removeFiles(paths);
        }
        std::atomic<std::size_t> next{0};
        std::atomic<bool> whole{true};
        const auto remove = [&] {
            for (std::size_t i; (i = next.fetch_add(1)) < paths.size();) {
                std::error_code ec;
                if (!fs::remove(paths[i], ec)) {
                    whole = false;
                }
            }
        };
        std::vector<std::thread> removers;
        try {
            for (std::size_t i = 1; i < count; ++i) {
                removers.emplace_back(remove);
            }
        } catch (const std::system_error&) {
            // No more threads: the ones there are (this one too) do it all.
        }
        remove();
        for (std::thread& remover : removers) {
            remover.join();
        }
        return whole;
    }

    void createFolder(const fs::path& path, std::error_code& ec) override {
        ec.clear();
        if (!fs::create_directory(path, ec) && !ec) {
            ec = std::make_error_code(std::errc::file_exists);
        }
    }

    void removeFolder(const fs::path& path, std::error_code& ec) override {
        removeFile(path, ec); // an empty folder only
    }

    void setPermissions(const fs::path& path, fs::perms perms, std::error_code& ec) override {
        ec.clear();
#ifndef _WIN32
        fs::permissions(path, perms, fs::perm_options::replace, ec);
#else
        (void)path;
        (void)perms; // a file's access on Windows comes from its folder
#endif
    }

    ~SystemRestoreFiles() override { endWriteBack(); }

    void syncFileSystem(const fs::path& folder, std::error_code& ec) override {
        endWriteBack();
        syncNow(folder, ec);
    }

    void startWriteBack(const fs::path& folder) override {
#ifndef _WIN32
        std::lock_guard lock(writeBackMutex_);
        if (writeBack_.joinable()) {
            writeBack_.join(); // an earlier restore's, ended before its swap
        }
        // What it fails to write, the sync before the swap says.
        writeBack_ = std::thread([folder] {
            std::error_code ignored;
            syncNow(folder, ignored);
        });
#else
        (void)folder; // the copies and renames are written through
#endif
    }

    void syncFolder(const fs::path& path, std::error_code& ec) override {
        platform::syncFolder(path, ec);
    }

    std::unique_ptr<HeldFile> createHeld(const fs::path& path, std::string_view content,
                                         std::error_code& ec) override {
        platform::File file = platform::File::createNew(path, ec);
        if (!ec) {
            file.lockExclusive(ec);
        }
        if (!ec) {
            file.write(content.data(), content.size(), ec);
        }
        if (!ec) {
            file.sync(ec);
        }
        if (ec) {
            if (file.isOpen()) {
                std::error_code ignored;
                file.close(ignored);
                fs::remove(path, ignored);
            }
            return nullptr;
        }
        return std::make_unique<SystemHeldFile>(std::move(file));
    }

    bool isHeld(const fs::path& path) const override {
        return platform::isLockHeld(path);
    }

private:
    static void syncNow(const fs::path& folder, std::error_code& ec) {
        ec.clear();
#if defined(__linux__)
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            ec = std::error_code(errno, std::system_category());
            return;
        }
        if (::syncfs(fd) != 0) {
            ec = std::error_code(errno, std::system_category());
        }
        ::close(fd);
#elif !defined(_WIN32)
        (void)folder;
        ::sync();
#else
        (void)folder; // the copies and renames are written through
#endif
    }

    void endWriteBack() {
        std::lock_guard lock(writeBackMutex_);
        if (writeBack_.joinable()) {
            writeBack_.join();
        }
    }

    std::mutex writeBackMutex_;
    std::thread writeBack_;
};

} // namespace

RestoreFiles& systemRestoreFiles() {
    static SystemRestoreFiles files;
    return files;
}

} // namespace vellarion
