#pragma once

#include "core/archive/ArchiveReader.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace vellarion {

// Bytes that a resize leaves as they are instead of zeroing them: content is
// inflated straight into them, and memory nobody writes stays untouched.
template <class T> struct UninitializedAllocator : std::allocator<T> {
    template <class U> struct rebind {
        using other = UninitializedAllocator<U>;
    };
    using std::allocator<T>::allocator;
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) == 0) {
            ::new (static_cast<void*>(p)) U;
        } else {
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
        }
    }
};
using ContentBytes = std::vector<unsigned char, UninitializedAllocator<unsigned char>>;

// Reads an archive's records ahead of an unpack and inflates them on worker
// threads, several at once, while the caller writes the one before: the
// caller still meets every record in archive order and does everything that
// touches the disk or raises an event itself.
//
// A small record is inflated whole in memory. A large one (a big database)
// stops the reading ahead; the caller then takes its content through
// inflateLarge(), which splits the record's zlib stream where its blocks end
// on a byte boundary (as the codec's own packing leaves them) and inflates
// the pieces on the workers at once, falling back to one stream wherever a
// piece does not stand alone. What is held stays within a fixed budget.
class RecordPrefetch {
public:
    struct Record {
        RecordHeader header;
        // Inflated here: plain holds the whole content, or failure what the
        // record's data is wrong with (thrown as reading it in one stream
        // would have thrown). Otherwise the caller takes the content through
        // inflateLarge().
        bool inMemory = false;
        ContentBytes plain;
        std::exception_ptr failure;
    };
    // Takes the content in order; false stops the inflating.
    using Sink = std::function<bool(const unsigned char* data, std::size_t count)>;

    RecordPrefetch(ArchiveReader& reader, unsigned workers);
    ~RecordPrefetch();
    RecordPrefetch(const RecordPrefetch&) = delete;
    RecordPrefetch& operator=(const RecordPrefetch&) = delete;

    // The next record in archive order; false at the archive's end. A header
    // that cannot be read throws here, in its turn.
    bool next(Record& record);

    // The content of the record next() gave last, when not in memory, handed
    // to sink in order. Throws what reading the record's data as one zlib
    // stream throws: "zlib returned: data error" for damaged data, "Stream
    // read error" when the stream and the data do not end together or the
    // size is not the record's. False when sink stopped it.
    bool inflateLarge(const RecordHeader& header, const Sink& sink);

    // Runs work on one of the workers, after what they were given before.
    void runOnWorker(std::function<void()> work);

    class Decoder;

private:
    struct Entry;
    struct Piece;
    using Task = std::function<void(Decoder&)>;

    void fill();
    void submit(Task task);
    void workerMain();
    bool inflateSequentially(const RecordHeader& header, std::vector<unsigned char> pending,
                             bool raw, std::span<const unsigned char> window,
                             std::uint64_t produced, std::uint32_t adler, const Sink& sink);

    ArchiveReader& reader_;
    unsigned workers_;
    std::deque<std::shared_ptr<Entry>> window_; // archive order
    std::size_t held_ = 0;                     // bytes the window holds or will
    bool ended_ = false;                       // the reader reached the end or broke off

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> queue_; // waiting for a worker
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace vellarion
