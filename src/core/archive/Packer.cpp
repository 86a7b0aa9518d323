#include "core/archive/Packer.h"

#include "core/archive/ArchiveError.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/archive/StoredName.h"
#include "core/services/RunToken.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace vellarion {

namespace {

// Compressed data that may wait for the writer, over all files.
constexpr std::size_t bufferBudget = 32 * 1024 * 1024;
// What the file being written may queue for the writer on its own, so that a
// slow event handler does not let it pile up whole.
constexpr std::size_t frontBudget = 4 * 1024 * 1024;
// Files walked ahead of the one being written.
constexpr std::size_t windowLength = 1024;
// What a worker reads and deflates at a time.
constexpr std::size_t blockSize = 256 * 1024;
// The unit of progress events: the size a one-file-at-a-time reader reads.
constexpr std::uint64_t chunkSize = 1024;

std::error_code pathNotFound() {
#ifdef _WIN32
    return {3 /* ERROR_PATH_NOT_FOUND */, std::system_category()};
#else
    return {ENOENT, std::system_category()};
#endif
}

std::int32_t asInt32(std::uint64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

struct Packer::Job {
    // Set by the walker.
    std::string fullPath;   // program path of the file (or of what is left out)
    std::string storedDir;  // encoded Dir
    std::string storedName; // encoded Name
    // Set: nothing is read, the entry is named in the warnings instead (a
    // folder that cannot be listed, a link, a path too long to store).
    std::string skipType;
    std::string skipText;

    // Set by the worker, under the mutex.
    enum class Stage { Waiting, Reading, Finished } stage = Stage::Waiting;
    std::error_code openError;
    bool leftOut = false; // empty, or one of the excluded files
    std::uint64_t fileSize = 0;
    std::uint64_t bytesRead = 0;
    std::deque<std::string> chunks; // compressed data the writer has not taken
    std::size_t queued = 0;         // bytes in chunks
    std::exception_ptr failure;
};

// Walks the tree depth first in the order the listings give: a folder's
// files stand where the folder was met in its parent's listing. Links are
// never followed, except to folders the codec's OnFollowLink allows.
class Packer::Walker {
public:
    Walker(const TJvZlibMultiple& codec, const PathMapper& paths, std::string directory,
           bool recursive)
        : codec_(codec), paths_(paths), directory_(std::move(directory)), recursive_(recursive),
          storePaths_(codec.StorePaths) {}

    std::unique_ptr<Job> next() {
        if (!started_) {
            started_ = true;
            if (auto failed = enter("")) {
                return failed;
            }
        }
        while (!stack_.empty()) {
            Level& level = stack_.back();
            platform::DirectoryEntry entry;
            std::error_code ec;
            if (!level.listing.next(entry, ec)) {
                // A listing that breaks off ends like one that is complete.
                stack_.pop_back();
                continue;
            }
            const std::string name = pathToUtf8(entry.name);
            const std::string fullPath = directory_ + level.relative + name;
            if (isReservedName(name)) {
                continue; // the program's own work (another run's): no data
            }
            if (entry.isLink) {
                if (codec_.QuietSkipNames.contains(name)) {
                    continue;
                }
                if (recursive_ && followsLink(fullPath)) {
                    if (auto failed = enter(level.relative + name + "\\")) {
                        return failed;
                    }
                    continue;
                }
                return leftOut(fullPath, "SymbolicLink",
                               "Symbolic link \"" + codec_.shownPath(fullPath) + "\" skipped");
            }
            if (entry.isFolder) {
                if (recursive_) {
                    if (auto failed = enter(level.relative + name + "\\")) {
                        return failed;
                    }
                }
                continue;
            }
            std::optional<std::string> storedName = encodeStoredName(name);
            if (!storedName) {
                return tooLong(fullPath);
            }
            auto job = std::make_unique<Job>();
            job->fullPath = fullPath;
            job->storedDir = level.storedDir;
            job->storedName = std::move(*storedName);
            return job;
        }
        return nullptr;
    }

private:
    struct Level {
        platform::DirectoryListing listing;
        std::string relative;
        std::string storedDir;
        std::filesystem::path native;
    };

    std::unique_ptr<Job> leftOut(std::string fullPath, std::string type, std::string text) const {
        auto job = std::make_unique<Job>();
        job->fullPath = std::move(fullPath);
        job->skipType = std::move(type);
        job->skipText = std::move(text);
        return job;
    }

    std::unique_ptr<Job> tooLong(const std::string& fullPath) const {
        return leftOut(fullPath, "PathTooLong",
                       "Cannot store \"" + codec_.shownPath(fullPath) +
                           "\": its path is longer than an archive can hold (" +
                           std::to_string(maxStoredNameBytes) + " bytes)");
    }

    // A link the job chose to follow, to a folder that is not one the walk
    // is inside already (which would lead round in a circle).
    bool followsLink(const std::string& fullPath) const {
        if (!codec_.OnFollowLink) {
            return false;
        }
        const auto native = paths_.toNative(fullPath);
        std::error_code ec;
        if (!native || !std::filesystem::is_directory(*native, ec)) {
            return false;
        }
        for (const Level& level : stack_) {
            if (std::filesystem::equivalent(*native, level.native, ec)) {
                return false;
            }
        }
        return codec_.OnFollowLink(fullPath);
    }

    // Starts listing the folder R; a job reporting it when it cannot be listed
    // or its path cannot be stored whole.
    std::unique_ptr<Job> enter(std::string relative) {
        std::string folder = directory_ + relative;
        std::string shown = folder;
        while (shown.size() > 1 && shown.back() == '\\') {
            shown.pop_back();
        }
        std::optional<std::string> storedDir =
            storePaths_ ? encodeStoredName(relative) : std::string();
        if (!storedDir) {
            return tooLong(shown);
        }
        std::error_code ec;
        platform::DirectoryListing listing;
        const auto native = paths_.toNative(folder.empty() ? "." : folder);
        if (native) {
            listing = platform::DirectoryListing::open(*native, ec);
        } else {
            ec = pathNotFound();
        }
        if (ec) {
            return leftOut(shown, "FileOpenError",
                           FileOpenError(codec_.shownPath(shown), ec).what());
        }
        stack_.push_back({std::move(listing), std::move(relative), std::move(*storedDir), *native});
        return nullptr;
    }

    const TJvZlibMultiple& codec_;
    const PathMapper& paths_;
    std::string directory_;
    bool recursive_;
    bool storePaths_;
    bool started_ = false;
    std::vector<Level> stack_;
};

Packer::Packer(TJvZlibMultiple& codec, const PathMapper& paths, Settings settings)
    : codec_(codec), paths_(paths), settings_(std::move(settings)),
      share_(codec.IgnoreExclusive ? platform::ReadShare::DenyNone
                                   : platform::ReadShare::DenyWrite),
      level_(codec.CompressionLevel) {}

Packer::~Packer() {
    cancel();
}

void Packer::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    workersWake_.notify_all();
    for (std::thread& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
    workers_.clear();
}

bool Packer::waitWhilePaused() const {
    while (codec_.CompressionPaused && !codec_.FTerminateCompress && !cancelled_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return !codec_.FTerminateCompress && !cancelled_;
}

void Packer::workerMain() {
    std::vector<unsigned char> input(blockSize);
    std::vector<unsigned char> output(blockSize);
    std::unique_ptr<Deflater> deflater;
    std::exception_ptr setupFailure;
    try {
        deflater = std::make_unique<Deflater>(level_);
    } catch (...) {
        setupFailure = std::current_exception();
    }
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            workersWake_.wait(lock, [&] { return cancelled_ || walkDone_ || !queue_.empty(); });
            if (cancelled_ || queue_.empty()) {
                return;
            }
            job = queue_.front();
            queue_.pop_front();
        }
        try {
            if (setupFailure) {
                std::rethrow_exception(setupFailure);
            }
            compress(*job, *deflater, input, output);
        } catch (...) {
            std::lock_guard lock(mutex_);
            job->failure = std::current_exception();
            job->stage = Job::Stage::Finished;
            callerWake_.notify_one();
        }
    }
}

void Packer::finish(Job& job) {
    std::lock_guard lock(mutex_);
    job.stage = Job::Stage::Finished;
    callerWake_.notify_one();
}

void Packer::compress(Job& job, Deflater& deflater, std::vector<unsigned char>& input,
                      std::vector<unsigned char>& output) {
    std::error_code ec;
    platform::File file;
    if (const auto native = paths_.toNative(job.fullPath)) {
        file = platform::File::openEntryForReading(*native, share_, ec);
    } else {
        ec = pathNotFound();
    }
    std::uint64_t size = 0;
    if (!ec) {
        size = file.size(ec);
    }
    bool leftOut = size == 0;
    if (!ec && !leftOut && !settings_.excluded.empty()) {
        std::error_code idError;
        const platform::FileIdentity id = file.identity(idError);
        leftOut = !idError && std::find(settings_.excluded.begin(), settings_.excluded.end(), id) !=
                                  settings_.excluded.end();
    }
    {
        std::lock_guard lock(mutex_);
        job.openError = ec;
        job.leftOut = leftOut;
        job.fileSize = size;
        job.stage = ec || leftOut ? Job::Stage::Finished : Job::Stage::Reading;
        callerWake_.notify_one();
        if (job.stage == Job::Stage::Finished) {
            return;
        }
    }

    deflater.reset();
    std::uint64_t bytesRead = 0;
    std::size_t pending = 0; // compressed bytes in output
    for (;;) {
        if (!waitWhilePaused()) {
            // Stopped: the writer learns it at its next event; it must not
            // wait for data that will never come.
            finish(job);
            return;
        }
        const std::size_t n = file.read(input.data(), input.size(), ec);
        if (ec) {
            throw FileIoError(FileIoError::Operation::Read, paths_.toDisplay(job.fullPath), ec);
        }
        const bool last = n == 0;
        std::span<const unsigned char> in(input.data(), n);
        for (;;) {
            const ZlibStep step = deflater.deflate(in, std::span(output).subspan(pending), last);
            in = in.subspan(step.consumed);
            pending += step.produced;
            if (pending == output.size() || (step.ended && pending > 0)) {
                if (!publish(job, std::span(output.data(), pending), bytesRead, false)) {
                    return;
                }
                pending = 0;
            }
            if (last ? step.ended : in.empty()) {
                break;
            }
        }
        bytesRead += n;
        if (last) {
            break;
        }
        if (!publish(job, {}, bytesRead, false)) {
            return;
        }
    }
    publish(job, {}, bytesRead, true);
}

bool Packer::publish(Job& job, std::span<const unsigned char> data, std::uint64_t bytesRead,
                     bool last) {
    std::string chunk(reinterpret_cast<const char*>(data.data()), data.size());
    std::unique_lock lock(mutex_);
    // The file being written has a budget of its own, which the writer drains
    // as it comes; the other files share what the writer has not taken yet.
    // So the file everyone waits for never waits for them.
    workersWake_.wait(lock, [&] {
        if (cancelled_) {
            return true;
        }
        if (&job == front_) {
            return job.queued == 0 || job.queued + chunk.size() <= frontBudget;
        }
        return buffered_ + chunk.size() <= bufferBudget;
    });
    if (cancelled_) {
        return false;
    }
    if (!chunk.empty()) {
        buffered_ += chunk.size();
        job.queued += chunk.size();
        job.chunks.push_back(std::move(chunk));
    }
    job.bytesRead = bytesRead;
    if (last) {
        job.stage = Job::Stage::Finished;
    }
    callerWake_.notify_one();
    return true;
}

void Packer::topUp(Walker& walker) {
    bool queued = false;
    while (!walkDone_ && window_.size() < windowLength) {
        std::unique_ptr<Job> job = walker.next();
        std::lock_guard lock(mutex_);
        if (!job) {
            walkDone_ = true;
            break;
        }
        if (job->skipText.empty()) {
            queue_.push_back(job.get());
            queued = true;
        }
        window_.push_back(std::move(job));
    }
    if (queued || walkDone_) {
        workersWake_.notify_all();
    }
}

bool Packer::progress(std::uint64_t position, std::uint64_t total) {
    if (codec_.OnProgress) {
        codec_.OnProgress(codec_, asInt32(position), asInt32(total));
    }
    return waitWhilePaused();
}

void Packer::skipped(const Job& job, const std::string& type, const std::string& text) {
    if (codec_.OnFileSkip) {
        codec_.OnFileSkip(codec_, job.fullPath, type, text);
    }
}

bool Packer::packFront(Job& job, ArchiveWriter& out) {
    if (!job.skipText.empty()) {
        skipped(job, job.skipType, job.skipText);
        return true;
    }
    {
        std::unique_lock lock(mutex_);
        front_ = &job;
        workersWake_.notify_all();
        callerWake_.wait(lock, [&] { return job.stage != Job::Stage::Waiting; });
        if (job.failure) {
            std::rethrow_exception(job.failure);
        }
    }
    // Once the worker left Waiting these fields no longer change.
    if (job.openError) {
        skipped(job, "FileOpenError",
                FileOpenError(codec_.shownPath(job.fullPath), job.openError).what());
        return true;
    }
    if (job.leftOut) {
        return true;
    }
    if (codec_.OnCompressingFile) {
        codec_.OnCompressingFile(codec_, job.fullPath);
    }
    out.beginRecord(job.storedDir, job.storedName, codec_.shownPath(job.fullPath));
    std::uint64_t nextChunkEnd = chunkSize;
    std::uint64_t bytesRead = 0;
    // Set once the record outgrew its size field: it is dropped, the rest of
    // the file read to its end, and the file named as left out.
    std::string tooLarge;
    for (bool finished = false; !finished;) {
        std::deque<std::string> chunks;
        std::exception_ptr failure;
        {
            std::unique_lock lock(mutex_);
            callerWake_.wait(lock, [&] {
                return !job.chunks.empty() || job.bytesRead >= nextChunkEnd ||
                       job.stage == Job::Stage::Finished;
            });
            chunks.swap(job.chunks);
            bytesRead = job.bytesRead;
            finished = job.stage == Job::Stage::Finished && job.chunks.empty();
            failure = job.failure;
            for (const std::string& chunk : chunks) {
                buffered_ -= chunk.size();
            }
            job.queued = 0;
        }
        workersWake_.notify_all();
        for (const std::string& chunk : chunks) {
            if (!tooLarge.empty()) {
                break;
            }
            try {
                out.appendData(
                    std::span(reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size()));
            } catch (const RecordTooLargeError& e) {
                out.abandonRecord();
                tooLarge = e.what();
            }
        }
        for (; nextChunkEnd <= bytesRead; nextChunkEnd += chunkSize) {
            if (!progress(nextChunkEnd, job.fileSize)) {
                out.abandonRecord();
                return false;
            }
        }
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
    // The short last chunk, then the read that found the end.
    if (nextChunkEnd - chunkSize < bytesRead && !progress(bytesRead, job.fileSize)) {
        out.abandonRecord();
        return false;
    }
    if (!progress(bytesRead, job.fileSize)) {
        out.abandonRecord();
        return false;
    }
    if (!tooLarge.empty()) {
        skipped(job, "RecordTooLargeError", tooLarge);
        return true;
    }
    if (codec_.OnCompressedFile) {
        codec_.OnCompressedFile(codec_, job.fullPath);
    }
    out.endRecord(bytesRead);
    return true;
}

bool Packer::run(ArchiveWriter& out) {
    if (codec_.FTerminateCompress) {
        return false;
    }
    Walker walker(codec_, paths_, settings_.directory, settings_.recursive);
    for (unsigned i = 0; i < std::max(1u, settings_.workers); ++i) {
        workers_.emplace_back([this] { workerMain(); });
    }
    for (;;) {
        topUp(walker);
        if (window_.empty()) {
            break;
        }
        if (!packFront(*window_.front(), out)) {
            cancel();
            return false;
        }
        std::lock_guard lock(mutex_);
        front_ = nullptr;
        window_.pop_front();
    }
    cancel();
    out.flush();
    return true;
}

} // namespace vellarion
