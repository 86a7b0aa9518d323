#include "core/archive/JvZlibMultiple.h"

#include "core/archive/ArchiveError.h"
#include "core/archive/ArchiveReader.h"
#include "core/archive/ArchiveWriter.h"
#include "core/archive/Packer.h"
#include "core/archive/StoredName.h"
#include "core/archive/Zlib.h"
#include "core/services/ProgramPath.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
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
        static std::atomic<unsigned> counter{0};
#ifdef _WIN32
        const unsigned long pid = ::GetCurrentProcessId();
#else
        const unsigned long pid = static_cast<unsigned long>(::getpid());
#endif
        for (int attempt = 0;; ++attempt) {
            std::string suffix(".");
            suffix += std::to_string(pid);
            suffix += '-';
            suffix += std::to_string(counter++);
            suffix += ".tmp";
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

    Stream& stream() {
        return *stream_;
    }
    const std::vector<platform::FileIdentity>& excluded() const {
        return excluded_;
    }

    void commit() {
        std::error_code ec;
        // On the disk before it replaces the previous backup.
        stream_->file().sync(ec);
        if (!ec) {
            stream_->file().close(ec);
        }
        if (ec) {
            throw FileIoError(FileIoError::Operation::Write, fileName_, ec);
        }
        platform::replaceFile(temporary_, target_, ec);
        if (ec) {
            throw FileCreateError(fileName_, ec);
        }
        stream_.reset();
    }

private:
    std::string fileName_;
    fs::path target_;
    fs::path temporary_;
    std::optional<FileStream> stream_;
    std::vector<platform::FileIdentity> excluded_;
};

namespace {

// The file a record is unpacked into. Unless complete() is reached it is
// removed again, so that a file cut short by an error or a stop never stays
// behind looking whole.
class TargetFile {
public:
    TargetFile(fs::path path, platform::File file)
        : path_(std::move(path)), file_(std::move(file)) {}
    ~TargetFile() {
        if (file_.isOpen()) {
            std::error_code ec;
            file_.close(ec);
            fs::remove(path_, ec);
        }
    }
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    // Errors name the file as the user's system does.
    void write(const unsigned char* data, std::size_t count) {
        std::error_code ec;
        file_.write(data, count, ec);
        if (ec) {
            throw FileIoError(FileIoError::Operation::Write, pathToUtf8(path_), ec);
        }
    }

    void complete() {
        std::error_code ec;
        file_.close(ec);
        if (ec) {
            fs::remove(path_, ec);
            throw FileIoError(FileIoError::Operation::Write, pathToUtf8(path_), ec);
        }
    }

private:
    fs::path path_;
    platform::File file_;
};

// The name a stored name is unpacked under. On Windows a character the
// writer's code page lacked was stored as "?", which no Windows file name may
// hold; it becomes "_" so that the file (and every one after it) can still be
// restored.
std::string unpackedName(std::string name) {
#ifdef _WIN32
    std::replace(name.begin(), name.end(), '?', '_');
#endif
    return name;
}

} // namespace

TJvZlibMultiple::TJvZlibMultiple(const PathMapper& paths) : paths_(paths) {}

PendingArchive::PendingArchive(std::unique_ptr<ArchiveFile> file) : file_(std::move(file)) {}

PendingArchive::~PendingArchive() = default;

void PendingArchive::commit() {
    if (file_) {
        file_->commit();
        file_.reset();
    }
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
    ArchiveWriter writer(archive->stream());
    Packer packer(*this, paths_,
                  {withBackslash(Directory), Recursive,
                   workerCount_ ? workerCount_ : defaultWorkerCount(), archive->excluded()});
    if (!packer.run(writer)) {
        return nullptr;
    }
    return std::unique_ptr<PendingArchive>(new PendingArchive(std::move(archive)));
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
    ArchiveWriter writer(Output);
    Packer packer(*this, paths_,
                  {withBackslash(Directory),
                   Recursive,
                   workerCount_ ? workerCount_ : defaultWorkerCount(),
                   {}});
    const bool complete = packer.run(writer);
    writer.flush();
    return complete;
}

FileStream TJvZlibMultiple::openArchive(const std::string& FileName) const {
    std::error_code ec;
    platform::File file;
    if (const auto native = paths_.toNative(FileName)) {
        file = platform::File::openForReading(*native, platform::ReadShare::DenyWrite, ec);
    } else {
        ec = pathNotFound();
    }
    if (ec) {
        throw FileOpenError(paths_.toDisplay(FileName), ec);
    }
    return FileStream(std::move(file), paths_.toDisplay(FileName));
}

void TJvZlibMultiple::DecompressFile(const std::string& FileName, const std::string& Directory,
                                     bool Overwrite, bool RelativePaths) {
    FileStream archive = openArchive(FileName);
    DecompressStream(archive, Directory, Overwrite, RelativePaths);
    if (OnCompletedAction) {
        OnCompletedAction(*this);
    }
}

void TJvZlibMultiple::DecompressStream(Stream& Stream, const std::string& Directory, bool Overwrite,
                                       bool RelativePaths) {
    const std::string directory = withBackslash(Directory);
    ArchiveReader reader(Stream);
    Inflater inflater;
    std::vector<unsigned char> output;
    RecordHeader header;

    const auto progress = [&](std::uint64_t position, std::uint64_t total) {
        if (OnProgress) {
            OnProgress(*this, asInt32(position), asInt32(total));
        }
        while (DecompressionPaused && !FTerminateDecompress) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };

    while (!FTerminateDecompress && reader.next(header)) {
        const std::string storedDir = decodeStoredName(header.dir);
        const std::string storedName = decodeStoredName(header.name);
        // Checked before anything of the record touches the disk.
        if (isUnsafeStoredPath(storedDir) || isUnsafeStoredPath(storedName)) {
            throw UnsafeNameError(withBackslash(storedDir) + storedName);
        }
        std::string dir = unpackedName(storedDir);
        const std::string name = unpackedName(storedName);
        if (ForceDirectoriesFlag && !(directory + dir).empty()) {
            std::string folder = directory + dir;
            while (folder.size() > 1 && isPathSeparator(folder.back())) {
                folder.pop_back();
            }
            if (const auto native = paths_.toNative(folder)) {
                std::error_code ec;
                fs::create_directories(*native, ec);
            }
        }
        dir = RelativePaths ? withBackslash(dir) : std::string();
        const std::string target = directory + dir + name;
        const auto native = paths_.toNative(target);

        if (!Overwrite && native) {
            std::error_code ec;
            const fs::file_status status = fs::status(*native, ec);
            if (fs::exists(status) && !fs::is_directory(status)) {
                continue;
            }
        }

        bool write = true;
        if (OnDecompressingFile) {
            OnDecompressingFile(*this, target, write);
        }
        std::optional<TargetFile> file;
        if (write) {
            std::error_code ec;
            platform::File created;
            if (native) {
                created = platform::File::createForWriting(*native, ec);
            } else {
                ec = pathNotFound();
            }
            if (ec) {
                throw FileCreateError(paths_.toDisplay(target), ec);
            }
            file.emplace(*native, std::move(created));
        }

        inflater.reset();
        // Sized by the record's own claim, within bounds: small files stay cheap.
        const std::size_t wanted =
            std::clamp<std::size_t>(header.uncompressedSize, 4096, inflateBlock);
        if (output.size() < wanted) {
            output.resize(wanted);
        }
        std::uint64_t produced = 0;
        std::uint64_t nextChunkEnd = chunkSize;
        for (bool ended = false; !ended;) {
            const std::span<const unsigned char> input = reader.data();
            if (input.empty()) {
                // The record's data ends before its zlib stream does.
                throw StreamReadError();
            }
            const ZlibStep step = inflater.inflate(input, output);
            reader.consume(step.consumed);
            ended = step.ended;
            if (step.consumed == 0 && step.produced == 0 && !ended) {
                throw StreamReadError();
            }
            produced += step.produced;
            if (!write) {
                if (FTerminateDecompress) {
                    return;
                }
                continue;
            }
            file->write(output.data(), step.produced);
            for (; nextChunkEnd <= produced; nextChunkEnd += chunkSize) {
                progress(nextChunkEnd, header.uncompressedSize);
                if (FTerminateDecompress) {
                    return;
                }
            }
        }
        if (write) {
            // The short last chunk, then the read that found the end.
            if (nextChunkEnd - chunkSize < produced) {
                progress(produced, header.uncompressedSize);
            }
            progress(produced, header.uncompressedSize);
            if (FTerminateDecompress) {
                return;
            }
        }
        if (OnDecompressedFile) {
            OnDecompressedFile(*this, target, static_cast<std::uint32_t>(produced));
        }
        if (file) {
            file->complete();
        }
    }
}

ArchiveCheck TJvZlibMultiple::VerifyFile(const std::string& FileName) {
    FileStream archive = openArchive(FileName);
    return VerifyStream(archive);
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
            if (produced != header.uncompressedSize || reader.dataLeft() != 0) {
                throw StreamReadError(); // the sizes do not match what the stream holds
            }
        } catch (const Error& e) {
            check.damaged.push_back({name, e.what()});
        }
    }
    return check;
}

void TJvZlibMultiple::forEachStoredEntry(Stream& stream,
                                         const std::function<void(const StoredEntry&)>& each) {
    ArchiveReader reader(stream);
    RecordHeader header;
    while (reader.next(header)) {
        each({withBackslash(decodeStoredName(header.dir)) + decodeStoredName(header.name),
              header.uncompressedSize, header.compressedSize});
    }
}

void TJvZlibMultiple::forEachStoredEntry(const std::string& FileName,
                                         const std::function<void(const StoredEntry&)>& each) {
    FileStream archive = openArchive(FileName);
    forEachStoredEntry(archive, each);
}

void TJvZlibMultiple::ListStoredFiles(Stream& Stream, std::vector<std::string>& FileList) {
    forEachStoredEntry(Stream, [&](const StoredEntry& entry) { FileList.push_back(entry.name); });
}

void TJvZlibMultiple::ListStoredFiles(const std::string& FileName,
                                      std::vector<std::string>& FileList) {
    FileStream archive = openArchive(FileName);
    ListStoredFiles(archive, FileList);
}

} // namespace vellarion
