#include "core/archive/Packer.h"

#include "core/archive/ArchiveError.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/archive/StoredName.h"
#include "core/services/RunToken.h"
#include "core/snapshot/Snapshot.h"

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
// The unit of progress events: the size a one-file-at-a-time reader reads.
constexpr std::uint64_t chunkSize = 1024;

std::error_code pathNotFound() {
#ifdef _WIN32
    return {3 /* ERROR_PATH_NOT_FOUND */, std::system_category()};
#else
    return {ENOENT, std::system_category()};
#endif
}

static_assert(TJvZlibMultiple::kRereadLimit == 2 * kDeflateBlockSize,
              "a file in use is read again only while nothing of it was written");

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
    bool changed = false; // in use, and it changed while it was read: dropped
    std::uint64_t fileSize = 0;
    std::uint64_t bytesRead = 0;
    std::deque<std::vector<unsigned char>> chunks; // compressed data the writer has not taken
    std::size_t queued = 0;                        // bytes in chunks
    std::exception_ptr failure;

    // A file of several blocks: those read and not yet in chunks, in order.
    std::deque<std::unique_ptr<Block>> blocks;
    std::size_t blocksHeld = 0;   // read and not yet taken by the writer
    std::size_t blocksQueued = 0; // of them, in chunks (one chunk each)
    std::uint32_t adler = 1;      // of the blocks in chunks
    bool readingStopped = false;  // a stop ended the reading: finished once blocks is empty
};

// One block of a file of several: its input, compressed by any worker.
struct Packer::Block {
    std::vector<unsigned char> input;
    std::vector<unsigned char> dictionary; // the end of the block before
    bool first = false;
    bool last = false;
    std::size_t size = 0; // of input, kept once input is freed
    // Set by the worker that compressed it, under the mutex.
    bool done = false;
    std::vector<unsigned char> output;
    std::uint32_t adler = 1;
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
      share_(codec.IgnoreExclusive || codec.SourceInUse ? platform::ReadShare::DenyNone
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
    std::vector<unsigned char> input;
    std::vector<unsigned char> output;
    std::unique_ptr<BlockDeflater> deflater;
    std::exception_ptr setupFailure;
    try {
        deflater = std::make_unique<BlockDeflater>(level_);
    } catch (...) {
        setupFailure = std::current_exception();
    }
    for (;;) {
        Job* job = nullptr;
        BlockTask task;
        {
            std::unique_lock lock(mutex_);
            // Blocks first: the file they belong to is being read already.
            workersWake_.wait(lock,
                              [&] { return cancelled_ || !blockQueue_.empty() || !queue_.empty(); });
            if (cancelled_) {
                return;
            }
            if (!blockQueue_.empty()) {
                task = blockQueue_.front();
                blockQueue_.pop_front();
                job = task.job;
            } else {
                job = queue_.front();
                queue_.pop_front();
            }
        }
        try {
            if (setupFailure) {
                std::rethrow_exception(setupFailure);
            }
            if (task.block) {
                runBlock(task, *deflater);
            } else {
                compress(*job, *deflater, input, output);
            }
        } catch (...) {
            std::lock_guard lock(mutex_);
            job->failure = std::current_exception();
            job->stage = Job::Stage::Finished;
            callerWake_.notify_one();
            workersWake_.notify_all();
        }
    }
}

void Packer::finish(Job& job) {
    std::lock_guard lock(mutex_);
    // Blocks read before a stop are still written out first, as a reader of
    // one file at a time writes what it read before it sees the stop.
    job.readingStopped = true;
    if (job.blocks.empty()) {
        job.stage = Job::Stage::Finished;
    }
    callerWake_.notify_one();
}

namespace {

// Fills buffer with up to one block of the file; true when the file ended
// there (a read found its end).
bool readBlock(platform::File& file, std::vector<unsigned char>& buffer, const PathMapper& paths,
               const std::string& fullPath) {
    buffer.resize(kDeflateBlockSize);
    std::size_t filled = 0;
    std::error_code ec;
    while (filled < buffer.size()) {
        const std::size_t n = file.read(buffer.data() + filled, buffer.size() - filled, ec);
        if (ec) {
            throw FileIoError(FileIoError::Operation::Read, paths.toDisplay(fullPath), ec);
        }
        if (n == 0) {
            buffer.resize(filled);
            return true;
        }
        filled += n;
    }
    return false;
}

} // namespace

void Packer::compress(Job& job, BlockDeflater& deflater, std::vector<unsigned char>& input,
                      std::vector<unsigned char>& output) {
    std::error_code ec;
    platform::File file;
    std::optional<std::filesystem::path> native = paths_.toNative(job.fullPath);
    bool chosenAway = false;
    bool inPlace = true;
    if (native && codec_.OnChooseSource) {
        std::optional<std::filesystem::path> chosen = codec_.OnChooseSource(*native);
        chosenAway = !chosen;
        inPlace = chosen == native;
        native = std::move(chosen);
    }
    if (chosenAway) {
        std::lock_guard lock(mutex_);
        job.leftOut = true;
        job.stage = Job::Stage::Finished;
        callerWake_.notify_one();
        return;
    }
    if (native) {
        file = platform::File::openEntryForReading(*native, share_, ec);
    } else {
        ec = pathNotFound();
    }
    // A file another program writes meanwhile is watched while it is read;
    // a copy made of it for the packing is not.
    const bool watch = codec_.SourceInUse && inPlace;
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
    platform::FileStamp before;
    if (!ec && !leftOut && watch) {
        before = file.stamp(ec);
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

    // Read as it is now, not as its size said: a file in use may have grown
    // or shrunk since. Such a file is read again from its start while it
    // changes, as long as nothing of it has gone to the writer yet.
    std::vector<unsigned char> second;
    bool ended = false;
    bool checked = !watch; // the whole file read and found unchanged
    for (int attempt = 1;; ++attempt) {
        if (!waitWhilePaused()) {
            // Stopped: the writer learns it at its next event; it must not
            // wait for data that will never come.
            finish(job);
            return;
        }
        ended = readBlock(file, input, paths_, job.fullPath);
        bool secondEnded = false;
        second.clear();
        if (!ended) {
            if (!waitWhilePaused()) {
                finish(job);
                return;
            }
            secondEnded = readBlock(file, second, paths_, job.fullPath);
            ended = secondEnded && second.empty();
        }
        if (!watch || (!ended && !secondEnded)) {
            break; // larger ones are checked at their end
        }
        if (codec_.OnSourceRead) {
            codec_.OnSourceRead(*native, attempt);
        }
        const platform::FileStamp after = file.stamp(ec);
        if (!ec && after == before) {
            if (codec_.OnVerifySource && !codec_.OnVerifySource(*native)) {
                std::lock_guard lock(mutex_);
                job.changed = true;
                job.stage = Job::Stage::Finished;
                callerWake_.notify_one();
                return;
            }
            checked = true;
            break;
        }
        if (attempt >= Snapshot::kTries) {
            std::lock_guard lock(mutex_);
            job.changed = true;
            job.stage = Job::Stage::Finished;
            callerWake_.notify_one();
            return;
        }
        std::this_thread::sleep_for(Snapshot::pauseBeforeTry(attempt + 1));
        ec.clear();
        file.seek(0, ec);
        if (!ec) {
            before = file.stamp(ec);
        }
        if (ec) {
            throw FileIoError(FileIoError::Operation::Read, paths_.toDisplay(job.fullPath), ec);
        }
    }
    if (!ended) {
        std::vector<unsigned char> first;
        first.swap(input);
        compressInBlocks(job, deflater, file, std::move(first), std::move(second),
                         checked ? std::nullopt : std::optional<platform::FileStamp>(before));
        return; // the job may be gone already
    }
    deflater.compressWhole(input, output);
    if (publish(job, output, input.size(), false)) {
        publish(job, {}, input.size(), true);
    }
}

void Packer::compressInBlocks(Job& job, BlockDeflater& deflater, platform::File& file,
                              std::vector<unsigned char> first, std::vector<unsigned char> second,
                              std::optional<platform::FileStamp> watched) {
    const bool primed = BlockDeflater::primedByDictionary();
    std::vector<unsigned char> current = std::move(first);
    std::vector<unsigned char> next = std::move(second);
    std::vector<unsigned char> tail; // the end of the block before current
    for (bool isFirst = true;; isFirst = false) {
        auto block = std::make_unique<Block>();
        block->first = isFirst;
        block->last = next.empty();
        block->size = current.size();
        block->dictionary = std::move(tail);
        if (primed && !block->last) {
            const std::size_t keep = std::min(current.size(), kDeflateWindow);
            tail.assign(current.end() - static_cast<std::ptrdiff_t>(keep), current.end());
        }
        block->input = std::move(current);
        const bool last = block->last;
        if (last && watched) {
            // Read to its end: what changed meanwhile is no state the file
            // ever had, and its record is dropped.
            if (codec_.OnSourceRead) {
                if (const auto native = paths_.toNative(job.fullPath)) {
                    codec_.OnSourceRead(*native, 1);
                }
            }
            std::error_code ec;
            const platform::FileStamp after = file.stamp(ec);
            bool changed = ec || after != *watched;
            if (!changed && codec_.OnVerifySource) {
                const auto native = paths_.toNative(job.fullPath);
                changed = !native || !codec_.OnVerifySource(*native);
            }
            std::lock_guard lock(mutex_);
            job.changed = changed;
        }
        if (!dispatch(job, std::move(block), deflater) || last) {
            // After the last block the job belongs to the writer: it may be
            // written and gone before this returns.
            return;
        }
        current = std::move(next);
        next = {};
        if (!waitWhilePaused()) {
            finish(job);
            return;
        }
        readBlock(file, next, paths_, job.fullPath);
    }
}

bool Packer::dispatch(Job& job, std::unique_ptr<Block> block, BlockDeflater& deflater) {
    std::unique_lock lock(mutex_);
    // Blocks read ahead of the writer are bounded, for each file and over
    // all: a reader at the bound compresses queued blocks itself rather than
    // wait. The file being written never waits for the others.
    const auto mayRead = [&] {
        return job.blocksHeld < blockLimit_ && (&job == front_ || blocksHeld_ < blockLimit_);
    };
    while (!cancelled_ && !job.failure && !mayRead()) {
        if (!blockQueue_.empty()) {
            const BlockTask task = blockQueue_.front();
            blockQueue_.pop_front();
            lock.unlock();
            try {
                runBlock(task, deflater);
            } catch (...) {
                std::lock_guard relock(mutex_);
                task.job->failure = std::current_exception();
                task.job->stage = Job::Stage::Finished;
                callerWake_.notify_one();
            }
            lock.lock();
            continue;
        }
        workersWake_.wait(lock);
    }
    if (cancelled_ || job.failure) {
        return false;
    }
    Block* raw = block.get();
    job.blocks.push_back(std::move(block));
    ++job.blocksHeld;
    ++blocksHeld_;
    blockQueue_.push_back({&job, raw});
    workersWake_.notify_all();
    return true;
}

void Packer::runBlock(const BlockTask& task, BlockDeflater& deflater) {
    Block& block = *task.block;
    std::vector<unsigned char> output;
    if (block.first) {
        output = zlibHeader(level_);
    }
    deflater.compressBlock(block.input, block.dictionary, block.last, output);
    const std::uint32_t adler = adler32Of(block.input);
    std::lock_guard lock(mutex_);
    block.output = std::move(output);
    block.adler = adler;
    block.input = {};
    block.dictionary = {};
    block.done = true;
    publishBlocks(*task.job);
}

void Packer::publishBlocks(Job& job) {
    // In order: a block waits for those before it.
    bool published = false;
    while (!job.blocks.empty() && job.blocks.front()->done) {
        Block& block = *job.blocks.front();
        job.adler = adler32Combine(job.adler, block.adler, block.size);
        if (block.last) {
            for (int shift = 24; shift >= 0; shift -= 8) {
                block.output.push_back(static_cast<unsigned char>(job.adler >> shift));
            }
            job.stage = Job::Stage::Finished;
        }
        buffered_ += block.output.size();
        job.queued += block.output.size();
        job.chunks.push_back(std::move(block.output));
        ++job.blocksQueued;
        job.bytesRead += block.size;
        job.blocks.pop_front();
        published = true;
    }
    if (job.readingStopped && job.blocks.empty()) {
        job.stage = Job::Stage::Finished;
    }
    if (published) {
        callerWake_.notify_one();
    }
}

bool Packer::publish(Job& job, std::span<const unsigned char> data, std::uint64_t bytesRead,
                     bool last) {
    std::vector<unsigned char> chunk(data.begin(), data.end());
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
    // A file in use may grow while it is read: the bar never runs past its end.
    total = std::max(total, position);
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
    bool changed = false;
    for (bool finished = false; !finished;) {
        std::deque<std::vector<unsigned char>> chunks;
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
            changed = finished && job.changed;
            failure = job.failure;
            for (const std::vector<unsigned char>& chunk : chunks) {
                buffered_ -= chunk.size();
            }
            job.queued = 0;
            blocksHeld_ -= job.blocksQueued;
            job.blocksHeld -= job.blocksQueued;
            job.blocksQueued = 0;
        }
        workersWake_.notify_all();
        for (const std::vector<unsigned char>& chunk : chunks) {
            if (!tooLarge.empty()) {
                break;
            }
            try {
                out.appendData(chunk);
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
    if (changed) {
        if (tooLarge.empty()) {
            out.abandonRecord();
        }
        const std::optional<std::filesystem::path> native = paths_.toNative(job.fullPath);
        if (tooLarge.empty() && native && codec_.OnSourceChanged &&
            codec_.OnSourceChanged(*native)) {
            // Read again, from the copy the chooser gives now, in the same
            // place of the archive: this job is done with, its workers too.
            auto again = std::make_unique<Job>();
            again->fullPath = job.fullPath;
            again->storedDir = job.storedDir;
            again->storedName = job.storedName;
            Job& next = *again;
            {
                std::lock_guard lock(mutex_);
                front_ = nullptr;
                window_.front() = std::move(again); // `job` is gone from here on
                queue_.push_front(&next);
            }
            workersWake_.notify_all();
            return packFront(next, out);
        }
        skipped(job, "FileKeptChanging",
                "File \"" + codec_.shownPath(job.fullPath) +
                    "\" kept changing while it was read: it was not backed up");
        return true;
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
    blockLimit_ = std::clamp(2 * settings_.workers, 2u, 16u);
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
