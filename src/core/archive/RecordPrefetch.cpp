#include "core/archive/RecordPrefetch.h"

#include "core/archive/ArchiveError.h"
#include "core/archive/Zlib.h"

#include <algorithm>

#ifdef VELLARION_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace vellarion {

namespace {

// A record is inflated ahead when its data and its content both fit these;
// a larger one is streamed by the caller. Data of 1 MiB inflates to 1 GiB at
// most, never to 4 GiB and more, so a content larger than its record says is
// always an error.
constexpr std::uint32_t kLargestData = 1024 * 1024;
constexpr std::uint32_t kLargestContent = 8 * 1024 * 1024;
// What the records read ahead may hold at once, data and content.
constexpr std::size_t kBudget = 48 * 1024 * 1024;
constexpr std::size_t kMostRecords = 4096;

// Inflates a record's whole data as reading it in one stream would: the
// content, or the error that reading throws (the same for the same damage).
class WholeInflater {
public:
    WholeInflater() {
#ifdef VELLARION_LIBDEFLATE
        fast_ = libdeflate_alloc_decompressor();
#endif
    }
    ~WholeInflater() {
#ifdef VELLARION_LIBDEFLATE
        libdeflate_free_decompressor(fast_);
#endif
    }
    WholeInflater(const WholeInflater&) = delete;
    WholeInflater& operator=(const WholeInflater&) = delete;

    void inflate(std::span<const unsigned char> data, std::uint32_t size,
                 std::vector<unsigned char>& plain) {
        plain.resize(size);
#ifdef VELLARION_LIBDEFLATE
        std::size_t taken = 0;
        std::size_t produced = 0;
        if (fast_ &&
            libdeflate_zlib_decompress_ex(fast_, data.data(), data.size(), plain.data(),
                                          plain.size(), &taken, &produced) == LIBDEFLATE_SUCCESS &&
            taken == data.size() && produced == plain.size()) {
            return;
        }
        // Anything else is damage: zlib says which, as a stream read would.
#endif
        stream_.reset();
        std::vector<unsigned char> beyond; // what a lying size would overflow
        std::uint64_t produced64 = 0;
        for (bool ended = false; !ended;) {
            if (data.empty()) {
                throw StreamReadError(); // the data ends before the zlib stream
            }
            std::span<unsigned char> out;
            if (produced64 < plain.size()) {
                out = std::span(plain).subspan(static_cast<std::size_t>(produced64));
            } else {
                beyond.resize(256 * 1024);
                out = beyond;
            }
            const ZlibStep step = stream_.inflate(data, out);
            data = data.subspan(step.consumed);
            ended = step.ended;
            if (step.consumed == 0 && step.produced == 0 && !ended) {
                throw StreamReadError();
            }
            produced64 += step.produced;
        }
        if (produced64 != size || !data.empty()) {
            throw StreamReadError();
        }
    }

private:
    Inflater stream_;
#ifdef VELLARION_LIBDEFLATE
    libdeflate_decompressor* fast_ = nullptr;
#endif
};

} // namespace

struct RecordPrefetch::Entry {
    RecordHeader header;
    std::exception_ptr brokenOff; // the header could not be read
    bool inMemory = false;
    std::vector<unsigned char> data;
    // Set by a worker, under the mutex.
    bool done = false;
    std::vector<unsigned char> plain;
    std::exception_ptr failure;
    std::size_t cost = 0; // what it holds in the budget
};

RecordPrefetch::RecordPrefetch(ArchiveReader& reader, unsigned workers)
    : reader_(reader), workers_(std::max(1u, workers)) {}

RecordPrefetch::~RecordPrefetch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void RecordPrefetch::workerMain() {
    WholeInflater inflater;
    for (;;) {
        std::shared_ptr<Entry> entry;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            entry = queue_.front();
            queue_.pop_front();
        }
        std::vector<unsigned char> plain;
        std::exception_ptr failure;
        try {
            inflater.inflate(entry->data, entry->header.uncompressedSize, plain);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            entry->plain = std::move(plain);
            entry->failure = failure;
            entry->data = {};
            entry->done = true;
        }
        wake_.notify_all();
    }
}

void RecordPrefetch::fill() {
    while (!ended_ && window_.size() < kMostRecords &&
           (window_.empty() || (window_.back()->inMemory && held_ < kBudget))) {
        auto entry = std::make_shared<Entry>();
        try {
            if (!reader_.next(entry->header)) {
                ended_ = true;
                return;
            }
        } catch (...) {
            // Thrown when the caller reaches it: the records before it are
            // unpacked first, as a reading in one pass would.
            entry->brokenOff = std::current_exception();
            ended_ = true;
            window_.push_back(std::move(entry));
            return;
        }
        const RecordHeader& h = entry->header;
        entry->inMemory = h.compressedSize <= kLargestData && h.uncompressedSize <= kLargestContent;
        if (entry->inMemory) {
            entry->data.resize(h.compressedSize);
            std::size_t filled = 0;
            while (filled < entry->data.size()) {
                const std::span<const unsigned char> part = reader_.data();
                std::copy(part.begin(), part.end(), entry->data.begin() + filled);
                filled += part.size();
                reader_.consume(part.size());
            }
            entry->cost = entry->data.size() + h.uncompressedSize;
            held_ += entry->cost;
            if (threads_.size() < workers_) {
                threads_.emplace_back([this] { workerMain(); });
            }
            {
                std::lock_guard lock(mutex_);
                queue_.push_back(entry);
            }
            wake_.notify_one();
        }
        window_.push_back(std::move(entry));
    }
}

bool RecordPrefetch::next(Record& record) {
    fill();
    if (window_.empty()) {
        return false;
    }
    std::shared_ptr<Entry> entry = std::move(window_.front());
    window_.pop_front();
    if (entry->brokenOff) {
        std::rethrow_exception(entry->brokenOff);
    }
    record.header = entry->header;
    record.inMemory = entry->inMemory;
    record.plain.clear();
    record.failure = nullptr;
    if (entry->inMemory) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return entry->done; });
        held_ -= entry->cost;
        record.plain = std::move(entry->plain);
        record.failure = entry->failure;
    }
    return true;
}

} // namespace vellarion
