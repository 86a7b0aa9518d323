#include "core/archive/JvZlibMultiple.h"

#include "core/archive/ArchiveError.h"
#include "core/archive/ArchiveReader.h"
#include "core/archive/ArchiveWriter.h"
#include "core/archive/Packer.h"
#include "core/archive/RecordPrefetch.h"
#include "core/archive/StoredName.h"
#include "core/archive/Zlib.h"
#include "core/crypto/EncryptedArchive.h"
#include "core/services/ProgramPath.h"
#include "core/services/RunToken.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vellarion {

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t chunkSize = 1024;
constexpr std::size_t inflateBlock = 256 * 1024;

std::error_code pathNotFound() {
#ifdef _WIN32
    return {ERROR_PATH_NOT_FOUND, std::system_category()};
#else
    return {ENOENT, std::system_category()};
#endif
}

// A folder ready to have stored names appended, which always use "\"; a
// trailing "/" (a native POSIX folder) serves as well.
std::string withBackslash(std::string_view path) {
    std::string out(path);
    if (!out.empty() && !isPathSeparator(out.back())) {
        out += '\\';
    }
    return out;
}

std::int32_t asInt32(std::uint64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// A program path as messages show it: the native form of this system.
std::string shownPathOf(const PathMapper& paths, const std::string& programPath) {
    return paths.toDisplay(programPath);
}

unsigned defaultWorkerCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return std::clamp(n, 1u, 16u);
}

} // namespace

// The archive being packed: a temporary file beside FileName that takes
// FileName's place on commit() and is removed otherwise. A PendingArchive
// holds one, so it has a name of its own.
class ArchiveFile {
public:
    ArchiveFile(const PathMapper& paths, const std::string& fileName)
        : fileName_(paths.toDisplay(fileName)) {
        const auto native = paths.toNative(fileName);
        if (!native) {
            throw FileCreateError(fileName_, pathNotFound());
        }
        fileName_ = pathToUtf8(*native);
        target_ = *native;
        std::error_code ec;
        // The archive it replaces must not be packed into it.
        platform::File old =
            platform::File::openForReading(target_, platform::ReadShare::DenyNone, ec);
        if (!ec) {
            const platform::FileIdentity id = old.identity(ec);
            if (!ec) {
                excluded_.push_back(id);
            }
        }
        for (int attempt = 0;; ++attempt) {
            // "name.dat.<token>.tmp": only this user's runs make such a token,
            // so that a later run removes only what one of them left.
            const std::string suffix = "." + newRunToken() + ".tmp";
            temporary_ = target_;
            temporary_ += suffix;
            platform::File file = platform::File::createNew(temporary_, ec);
            if (!ec) {
                stream_.emplace(std::move(file), fileName_);
                break;
            }
            if (ec != std::errc::file_exists || attempt == 100) {
                throw FileCreateError(fileName_, ec);
            }
        }
        const platform::FileIdentity id = stream_->file().identity(ec);
        if (!ec) {
            excluded_.push_back(id);
        }
    }

    ~ArchiveFile() {
        if (stream_) {
            std::error_code ec;
            stream_->file().close(ec);
            fs::remove(temporary_, ec);
        }
    }

    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    Stream& stream() { return encrypted_ ? static_cast<Stream&>(*encrypted_) : *stream_; }
    const std::vector<platform::FileIdentity>& excluded() const { return excluded_; }

    // Everything written from now on is encrypted with the password.
    void encrypt(const Secret& password) { encrypted_.emplace(*stream_, password); }

    // The archive is complete: an encrypted one gets its last chunk.
    void finish() {
        if (encrypted_) {
            encrypted_->finish();
        }
    }

    void commit() {
        close();
        std::error_code ec;
        platform::replaceFile(temporary_, target_, ec);
        if (ec) {
            throw FileCreateError(fileName_, ec);
        }
        stream_.reset();
    }

    // Takes `target` only while nothing has that name; false, the archive
    // still pending, when something has.
    bool commitNew(const fs::path& target) {
        close();
        std::error_code ec;
        platform::renameNoReplace(temporary_, target, ec);
        if (ec == std::errc::file_exists) {
            return false;
        }
        if (ec) {
            throw FileCreateError(pathToUtf8(target), ec);
        }
        stream_.reset();
        return true;
    }

private:
    // Complete and on the disk before it takes a backup's name.
    void close() {
        if (closed_) {
            return;
        }
        finish();
        std::error_code ec;
        stream_->file().sync(ec);
        if (!ec) {
            stream_->file().close(ec);
        }
        if (ec) {
            throw FileIoError(FileIoError::Operation::Write, fileName_, ec);
        }
        encrypted_.reset();
        closed_ = true;
    }

    std::string fileName_;
    bool closed_ = false;
    fs::path target_;
    fs::path temporary_;
    std::optional<FileStream> stream_;
    std::optional<EncryptingStream> encrypted_;
    std::vector<platform::FileIdentity> excluded_;
};

// An archive file opened for reading: its records come through stream(),
// decrypted when the file is an encrypted archive.
class OpenedArchive {
public:
    explicit OpenedArchive(FileStream file) : file_(std::move(file)) {}
    Stream& stream() { return decrypted_ ? static_cast<Stream&>(*decrypted_) : file_; }
    void decrypt(const Secret& password) { decrypted_.emplace(file_, password); }

private:
    FileStream file_;
    std::optional<DecryptingStream> decrypted_;
};

namespace {

// The file a record is unpacked into: a new private file beside its name,
// which takes the name only when complete (a link at the name is replaced,
// never written through). Unless complete() is reached it is removed again,
// so that a file cut short by an error or a stop never takes the name, and
// the file that had the name stays as it was.
class TargetFile {
public:
    TargetFile(fs::path path, std::string shown, bool inPlace)
        : path_(std::move(path)), shown_(std::move(shown)) {
        std::error_code ec;
        if (inPlace) {
            file_ = platform::File::createNew(path_, ec);
            if (!ec) {
                temporary_ = path_;
                return;
            }
        }
        for (int attempt = 0;; ++attempt) {
            // Short, so that it fits wherever the name itself fits.
            temporary_ = path_.parent_path() /
                         pathFromUtf8(std::string(kReservedPrefix) + newRunToken() + ".tmp");
            file_ = platform::File::createNew(temporary_, ec);
            if (!ec) {
                return;
            }
            if (ec != std::errc::file_exists || attempt == 100) {
                throw FileCreateError(shown_, ec);
            }
        }
    }
    ~TargetFile() {
        if (file_.isOpen() || !completed_) {
            std::error_code ec;
            file_.close(ec);
            fs::remove(temporary_, ec);
        }
    }
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    void write(const unsigned char* data, std::size_t count) {
        std::error_code ec;
        file_.write(data, count, ec);
        if (ec) {
            throw FileIoError(FileIoError::Operation::Write, shown_, ec);
        }
    }

    void complete(bool sync) {
        std::error_code ec;
        if (sync) {
            file_.sync(ec);
        }
        std::error_code closed;
        file_.close(closed);
        if (ec || closed) {
            throw FileIoError(FileIoError::Operation::Write, shown_, ec ? ec : closed);
        }
        if (temporary_ != path_) {
            platform::replaceFile(temporary_, path_, ec);
            if (ec) {
                throw FileCreateError(shown_, ec);
            }
        }
        completed_ = true;
    }

private:
    fs::path path_;
    std::string shown_;
    fs::path temporary_;
    platform::File file_;
    bool completed_ = false;
};

// The name a stored name is unpacked under. On Windows a character the
// writer's code page lacked was stored as "?", which no Windows file name may
// hold; it becomes "_" so that the file (and every one after it) can still be
// restored.
// Whether a record's zlib stream filled its data exactly and inflated to its
// UncompressedSize, which holds the size modulo 2^32 (a file of 4 GiB or
// more is stored so).
bool sizesMatch(const RecordHeader& header, std::uint64_t produced, const ArchiveReader& reader) {
    return static_cast<std::uint32_t>(produced) == header.uncompressedSize &&
           reader.dataLeft() == 0;
}

// The small files an unpack into a fresh private folder writes on the
// workers, several at once, while the next records are read. A name written
// before in the same unpack waits for them all, so that the later record
// still wins; what they hold is bounded.
class BackgroundWrites {
public:
    explicit BackgroundWrites(RecordPrefetch& workers) : workers_(workers) {}
    ~BackgroundWrites() { wait(); }
    BackgroundWrites(const BackgroundWrites&) = delete;
    BackgroundWrites& operator=(const BackgroundWrites&) = delete;

    bool wrote(const fs::path& target) const { return targets_.contains(target); }

    void write(const fs::path& target, std::string shown, ContentBytes content, bool sync) {
        const std::size_t size = content.size();
        {
            std::unique_lock lock(mutex_);
            done_.wait(lock, [&] { return held_ + size <= kBudget || pending_ == 0; });
            ++pending_;
            held_ += size;
        }
        targets_.insert(target);
        auto bytes = std::make_shared<ContentBytes>(std::move(content));
        workers_.runOnWorker([this, target, shown = std::move(shown), bytes, sync] {
            std::exception_ptr failure;
            try {
                TargetFile file(target, shown, true);
                file.write(bytes->data(), bytes->size());
                file.complete(sync);
            } catch (...) {
                failure = std::current_exception();
            }
            {
                std::lock_guard lock(mutex_);
                if (failure && !failure_) {
                    failure_ = failure;
                }
                held_ -= bytes->size();
                --pending_;
            }
            done_.notify_all();
        });
    }

    // Waits for every write; throws what the first that failed threw.
    void finish() {
        wait();
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }
    void throwIfFailed() {
        bool failed = false;
        {
            std::lock_guard lock(mutex_);
            failed = failure_ != nullptr;
        }
        if (failed) {
            finish();
        }
    }

private:
    static constexpr std::size_t kBudget = 32 * 1024 * 1024;

    void wait() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return pending_ == 0; });
    }

    RecordPrefetch& workers_;
    std::set<fs::path> targets_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::size_t pending_ = 0;
    std::size_t held_ = 0;
    std::exception_ptr failure_;
};

std::string unpackedName(std::string name) {
#ifdef _WIN32
    std::replace(name.begin(), name.end(), '?', '_');
#endif
    return name;
}

} // namespace

TJvZlibMultiple::TJvZlibMultiple(const PathMapper& paths)
    : paths_(paths), recordDataLimit_(ArchiveWriter::maxCompressedSize) {}

std::string TJvZlibMultiple::shownPath(const std::string& programPath) const {
    return shownPathOf(paths_, programPath);
}

PendingArchive::PendingArchive(std::unique_ptr<ArchiveFile> file) : file_(std::move(file)) {}

PendingArchive::~PendingArchive() = default;

void PendingArchive::commit() {
    if (file_) {
        file_->commit();
        file_.reset();
    }
}

bool PendingArchive::commitNew(const PathMapper& paths, const std::string& fileName) {
    if (!file_) {
        return true;
    }
    const std::optional<fs::path> native = paths.toNative(fileName);
    if (!native) {
        throw FileCreateError(paths.toDisplay(fileName), pathNotFound());
    }
    if (!file_->commitNew(*native)) {
        return false;
    }
    file_.reset();
    return true;
}

void TJvZlibMultiple::CompressDirectory(const std::string& Directory, bool Recursive,
                                        const std::string& FileName) {
    if (const std::unique_ptr<PendingArchive> archive =
            CompressDirectoryPending(Directory, Recursive, FileName)) {
        archive->commit();
    }
}

std::unique_ptr<PendingArchive>
TJvZlibMultiple::CompressDirectoryPending(const std::string& Directory, bool Recursive,
                                          const std::string& FileName) {
    auto archive = std::make_unique<ArchiveFile>(paths_, FileName);
    bool encrypted = false;
    if (OnEncryptionPassword) {
        if (const std::optional<Secret> password = OnEncryptionPassword()) {
            archive->encrypt(*password);
            encrypted = true;
        }
    }
    ArchiveWriter writer(archive->stream(), recordDataLimit_);
    Packer packer(*this, paths_,
                  {withBackslash(Directory), Recursive,
                   workerCount_ ? workerCount_ : defaultWorkerCount(), archive->excluded()});
    if (!packer.run(writer)) {
        return nullptr;
    }
    // Only an archive no one reads without its password carries a key.
    if (encrypted) {
        appendCarriedRecord(writer);
    }
    archive->finish();
    return std::unique_ptr<PendingArchive>(new PendingArchive(std::move(archive)));
}

void TJvZlibMultiple::appendCarriedRecord(ArchiveWriter& writer) {
    if (!OnCarriedRecord) {
        return;
    }
    const std::optional<Secret> record = OnCarriedRecord();
    if (!record) {
        return;
    }
    const std::span<const unsigned char> input(
        reinterpret_cast<const unsigned char*>(record->view().data()), record->view().size());
    Deflater deflater(CompressionLevel);
    std::vector<unsigned char> output(input.size() + 64);
    writer.beginRecord("", kCarriedRecordName, std::string(kCarriedRecordName));
    std::size_t taken = 0;
    for (bool ended = false; !ended;) {
        const ZlibStep step = deflater.deflate(input.subspan(taken), output, true);
        taken += step.consumed;
        ended = step.ended;
        writer.appendData(std::span<const unsigned char>(output.data(), step.produced));
    }
    wipeMemory(output.data(), output.size());
    writer.endRecord(input.size());
    writer.flush();
}

std::unique_ptr<MemoryStream> TJvZlibMultiple::CompressDirectory(const std::string& Directory,
                                                                 bool Recursive) {
    auto stream = std::make_unique<MemoryStream>();
    CompressDirectory(Directory, Recursive, *stream);
    stream->seek(0);
    return stream;
}

bool TJvZlibMultiple::CompressDirectory(const std::string& Directory, bool Recursive,
                                        Stream& Output) {
    ArchiveWriter writer(Output, recordDataLimit_);
    Packer packer(*this, paths_,
                  {withBackslash(Directory),
                   Recursive,
                   workerCount_ ? workerCount_ : defaultWorkerCount(),
                   {}});
    const bool complete = packer.run(writer);
    writer.flush();
    return complete;
}

std::unique_ptr<OpenedArchive> TJvZlibMultiple::openArchive(const std::string& FileName) {
    readingEncrypted_ = false;
    std::error_code ec;
    platform::File file;
    if (const auto native = paths_.toNative(FileName)) {
        file = platform::File::openForReading(*native, platform::ReadShare::DenyWrite, ec);
    } else {
        ec = pathNotFound();
    }
    if (ec) {
        throw FileOpenError(shownPath(FileName), ec);
    }
    auto archive =
        std::make_unique<OpenedArchive>(FileStream(std::move(file), shownPath(FileName)));
    if (isEncryptedArchive(archive->stream())) {
        std::optional<Secret> password;
        if (OnPasswordNeeded) {
            password = OnPasswordNeeded(FileName);
        }
        if (!password) {
            throw PasswordNeededError(lastName(FileName));
        }
        archive->decrypt(*password);
        readingEncrypted_ = true;
    }
    return archive;
}

std::size_t TJvZlibMultiple::DecompressFile(const std::string& FileName,
                                            const std::string& Directory, bool Overwrite,
                                            bool RelativePaths) {
    const std::unique_ptr<OpenedArchive> archive = openArchive(FileName);
    const std::size_t written =
        DecompressStream(archive->stream(), Directory, Overwrite, RelativePaths);
    readingEncrypted_ = false;
    if (OnCompletedAction) {
        OnCompletedAction(*this);
    }
    return written;
}

namespace {

// The folders records are unpacked into. The target folder may be a link
// (the user's own arrangement); below it every folder of a stored path must
// be a real folder, made private when missing.
class UnpackFolders {
public:
    UnpackFolders(const TJvZlibMultiple& codec, const PathMapper& paths, std::string directory,
                  bool create)
        : codec_(codec), paths_(paths), directory_(std::move(directory)), create_(create) {}

    // Checks (and with create makes) the folders of dir ("a\b\") below the
    // target folder; storedPath names the record in errors.
    void prepare(const std::string& dir, const std::string& storedPath) {
        if (!create_ && dir.empty()) {
            return;
        }
        if (create_ && !targetReady_) {
            prepareTarget();
        }
        for (std::size_t end = 0; end < dir.size(); ++end) {
            if (!isPathSeparator(dir[end])) {
                continue;
            }
            const std::string relative = dir.substr(0, end);
            if (relative.empty() || isPathSeparator(relative.back()) ||
                checked_.contains(relative)) {
                continue;
            }
            const std::string folder = directory_ + relative;
            const auto native = paths_.toNative(folder);
            if (!native) {
                throw FileCreateError(folder, pathNotFound());
            }
            std::error_code ec;
            switch (platform::entryKind(*native, ec)) {
            case platform::EntryKind::Folder:
                break;
            case platform::EntryKind::Missing:
                if (!create_) {
                    return; // creating the file will say what is missing
                }
                platform::createPrivateFolder(*native, ec);
                if (ec) {
                    throw FolderCreateError(codec_.shownPath(folder), ec);
                }
                break;
            case platform::EntryKind::Link:
                throw PathConflictError(storedPath, codec_.shownPath(folder),
                                        "a symbolic link, not a folder");
            case platform::EntryKind::File:
                throw PathConflictError(storedPath, codec_.shownPath(folder),
                                        "a file, not a folder");
            case platform::EntryKind::Other:
                if (ec) {
                    throw FolderCreateError(codec_.shownPath(folder), ec);
                }
                throw PathConflictError(storedPath, codec_.shownPath(folder), "not a folder");
            }
            checked_.insert(relative);
        }
    }

private:
    // The target folder and any missing folder above it, made once.
    void prepareTarget() {
        targetReady_ = true;
        std::string folder = directory_;
        while (folder.size() > 1 && isPathSeparator(folder.back())) {
            folder.pop_back();
        }
        const auto native = paths_.toNative(folder.empty() ? "." : folder);
        std::error_code ec;
        if (!native || fs::is_directory(*native, ec)) {
            return;
        }
        std::vector<fs::path> missing;
        for (fs::path p = *native; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
            missing.push_back(p);
            if (p == p.parent_path()) {
                break;
            }
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            platform::createPrivateFolder(*it, ec);
            if (ec) {
                throw FolderCreateError(pathToUtf8(*it), ec);
            }
        }
    }

    const TJvZlibMultiple& codec_;
    const PathMapper& paths_;
    std::string directory_;
    bool create_;
    bool targetReady_ = false;
    std::set<std::string> checked_;
};

} // namespace

void TJvZlibMultiple::readCarriedRecord(const RecordHeader& header,
                                        std::span<unsigned char> content,
                                        std::exception_ptr failure) {
    // Small by nature: a record claiming more is no carried key.
    constexpr std::size_t kLargest = 64 * 1024;
    const auto wipe = [&] { wipeMemory(content.data(), content.size()); };
    if (header.uncompressedSize > kLargest) {
        wipe();
        throw StreamReadError();
    }
    if (failure) {
        wipe();
        std::rethrow_exception(failure);
    }
    if (readingEncrypted_ && OnCarriedRecordRead) {
        OnCarriedRecordRead(Secret(std::string_view(reinterpret_cast<const char*>(content.data()),
                                                    content.size())));
    }
    wipe();
}

std::string TJvZlibMultiple::refusedRecord(const std::string& storedDir,
                                           const std::string& storedName, bool encrypted) {
    if (storedDir.empty() && storedName == kCarriedRecordName) {
        return encrypted ? std::string()
                         : "a key record, which belongs only in an encrypted archive";
    }
    if (holdsReservedName(storedDir) || holdsReservedName(storedName)) {
        return "a name this program keeps for its own work: never unpacked";
    }
    return {};
}

std::size_t TJvZlibMultiple::DecompressStream(Stream& Stream, const std::string& Directory,
                                              bool Overwrite, bool RelativePaths) {
    const std::string directory = withBackslash(Directory);
    ArchiveReader reader(Stream);
    UnpackFolders folders(*this, paths_, directory, ForceDirectoriesFlag);
    // Records are inflated ahead on worker threads, a large one in pieces.
    RecordPrefetch prefetch(reader, workerCount_ ? workerCount_ : defaultWorkerCount());
    RecordPrefetch::Record record;
    const RecordHeader& header = record.header;
    std::size_t written = 0;
    BackgroundWrites writes(prefetch);

    const auto progress = [&](std::uint64_t position, std::uint64_t total) {
        if (OnProgress) {
            OnProgress(*this, asInt32(position), asInt32(total));
        }
        while (DecompressionPaused && !FTerminateDecompress) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };

    while (!FTerminateDecompress && prefetch.next(record)) {
        writes.throwIfFailed();
        const std::string storedDir = decodeStoredName(header.dir);
        const std::string storedName = decodeStoredName(header.name);
        const std::string storedPath = withBackslash(storedDir) + storedName;
        // Checked before anything of the record touches the disk.
        if (isUnsafeStoredPath(storedDir) || isUnsafeStoredPath(storedName)) {
            wipeMemory(record.plain.data(), record.plain.size());
            throw UnsafeNameError(storedPath);
        }
        if (storedDir.empty() && storedName == kCarriedRecordName) {
            if (!record.inMemory) {
                throw StreamReadError(); // far larger than a key
            }
            readCarriedRecord(header, record.plain, record.failure);
            continue;
        }
        // A record that would pass for the program's own work (a journal
        // the next recovery would follow, a folder it would remove) is read
        // past and named.
        const std::string refused = refusedRecord(storedDir, storedName, readingEncrypted_);
        if (!refused.empty() && OnFileSkip) {
            OnFileSkip(*this, storedPath, "ReservedName", "\"" + storedPath + "\": " + refused);
        }
        const std::string storedFolder = withBackslash(unpackedName(storedDir));
        const std::string dir = RelativePaths ? storedFolder : std::string();
        const std::string name = unpackedName(storedName);
        // Forced folders are made even when files go to the top.
        folders.prepare(ForceDirectoriesFlag ? storedFolder : dir, storedPath);
        const std::string target = directory + dir + name;
        const auto native = paths_.toNative(target);

        std::error_code kindError;
        const platform::EntryKind existing =
            native ? platform::entryKind(*native, kindError) : platform::EntryKind::Missing;
        if (!Overwrite && existing != platform::EntryKind::Missing &&
            existing != platform::EntryKind::Folder) {
            continue;
        }

        bool write = refused.empty();
        if (write && OnDecompressingFile) {
            OnDecompressingFile(*this, target, write);
        }
        std::optional<TargetFile> file;
        bool inBackground = false;
        if (write) {
            if (!native) {
                throw FileCreateError(target, pathNotFound());
            }
            if (existing == platform::EntryKind::Folder) {
                throw PathConflictError(storedPath, shownPath(target), "a folder");
            }
            if (writes.wrote(*native)) {
                writes.finish(); // a name the archive holds twice: the later wins
            }
            inBackground = WriteInPlace && record.inMemory && !record.failure &&
                           existing == platform::EntryKind::Missing;
            if (!inBackground) {
                file.emplace(*native, shownPath(target), WriteInPlace);
            }
        }

        std::uint64_t produced = 0;
        std::uint64_t nextChunkEnd = chunkSize;
        // Counts what was inflated and written; false when stopped.
        const auto advance = [&](const unsigned char* data, std::size_t count) {
            produced += count;
            if (!write) {
                return !FTerminateDecompress;
            }
            if (file) {
                file->write(data, count);
            }
            for (; nextChunkEnd <= produced; nextChunkEnd += chunkSize) {
                progress(nextChunkEnd, header.uncompressedSize);
                if (FTerminateDecompress) {
                    return false;
                }
            }
            return true;
        };
        if (record.inMemory) {
            if (record.failure) {
                std::rethrow_exception(record.failure);
            }
            if (!advance(record.plain.data(), record.plain.size())) {
                return written;
            }
        } else if (!prefetch.inflateLarge(header, advance)) {
            return written;
        }
        if (write) {
            // The short last chunk, then the read that found the end.
            if (nextChunkEnd - chunkSize < produced) {
                progress(produced, header.uncompressedSize);
            }
            progress(produced, header.uncompressedSize);
            if (FTerminateDecompress) {
                return written;
            }
        }
        if (OnDecompressedFile && refused.empty()) {
            OnDecompressedFile(*this, target, static_cast<std::uint32_t>(produced));
        }
        if (file) {
            file->complete(SyncWrittenFiles);
            ++written;
        } else if (inBackground) {
            writes.write(*native, shownPath(target), std::move(record.plain), SyncWrittenFiles);
            ++written;
        }
    }
    writes.finish();
    return written;
}

ArchiveCheck TJvZlibMultiple::VerifyFile(const std::string& FileName) {
    const std::unique_ptr<OpenedArchive> archive = openArchive(FileName);
    return VerifyStream(archive->stream());
}

ArchiveCheck TJvZlibMultiple::VerifyStream(Stream& Stream) {
    ArchiveCheck check;
    ArchiveReader reader(Stream);
    Inflater inflater;
    std::vector<unsigned char> scratch(inflateBlock);
    RecordHeader header;
    for (;;) {
        try {
            if (FTerminateDecompress || !reader.next(header)) {
                break;
            }
        } catch (const Error& e) {
            check.brokenOff = e.what();
            break;
        }
        ++check.records;
        const std::string storedDir = decodeStoredName(header.dir);
        const std::string storedName = decodeStoredName(header.name);
        const std::string name = withBackslash(storedDir) + storedName;
        if (OnVerifyingFile) {
            OnVerifyingFile(*this, name);
        }
        // A record of the program's own names is named, whatever it holds.
        const std::string refused = refusedRecord(storedDir, storedName, readingEncrypted_);
        if (!refused.empty()) {
            check.damaged.push_back({name, refused});
        }
        try {
            if (isUnsafeStoredPath(storedDir) || isUnsafeStoredPath(storedName)) {
                throw UnsafeNameError(name);
            }
            inflater.reset();
            std::uint64_t produced = 0;
            for (bool ended = false; !ended;) {
                const std::span<const unsigned char> input = reader.data();
                if (input.empty()) {
                    throw StreamReadError(); // the data ends before the zlib stream
                }
                const ZlibStep step = inflater.inflate(input, scratch);
                reader.consume(step.consumed);
                ended = step.ended;
                if (step.consumed == 0 && step.produced == 0 && !ended) {
                    throw StreamReadError();
                }
                produced += step.produced;
                if (OnProgress) {
                    OnProgress(*this, asInt32(produced), asInt32(header.uncompressedSize));
                }
                if (FTerminateDecompress) {
                    return check;
                }
            }
            if (!sizesMatch(header, produced, reader)) {
                throw StreamReadError();
            }
        } catch (const Error& e) {
            if (refused.empty()) {
                check.damaged.push_back({name, e.what()});
            }
        }
    }
    return check;
}

void TJvZlibMultiple::forEachStoredEntry(Stream& stream,
                                         const std::function<void(const StoredEntry&)>& each,
                                         bool encrypted) {
    ArchiveReader reader(stream);
    RecordHeader header;
    while (reader.next(header)) {
        const std::string dir = decodeStoredName(header.dir);
        const std::string name = decodeStoredName(header.name);
        each({withBackslash(dir) + name, header.uncompressedSize, header.compressedSize,
              refusedRecord(dir, name, encrypted)});
    }
}

void TJvZlibMultiple::forEachStoredEntry(const std::string& FileName,
                                         const std::function<void(const StoredEntry&)>& each) {
    const std::unique_ptr<OpenedArchive> archive = openArchive(FileName);
    forEachStoredEntry(archive->stream(), each, readingEncrypted_);
}

void TJvZlibMultiple::ListStoredFiles(Stream& Stream, std::vector<std::string>& FileList) {
    forEachStoredEntry(Stream, [&](const StoredEntry& entry) { FileList.push_back(entry.name); });
}

void TJvZlibMultiple::ListStoredFiles(const std::string& FileName,
                                      std::vector<std::string>& FileList) {
    const std::unique_ptr<OpenedArchive> archive = openArchive(FileName);
    ListStoredFiles(archive->stream(), FileList);
}

} // namespace vellarion
