#pragma once

#include "core/archive/ArchiveReader.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vellarion {

// Reads an archive's records ahead of an unpack and inflates the small ones
// in memory on worker threads, several at once, while the caller writes the
// one before: the caller still meets every record in archive order and does
// everything that touches the disk or raises an event itself. A record too
// large to hold (a big database) stops the reading ahead until the caller
// has streamed it from the reader. What is held stays within a fixed budget.
class RecordPrefetch {
public:
    struct Record {
        RecordHeader header;
        // Inflated here: plain holds the whole content, or failure what the
        // record's data is wrong with (thrown as reading it in one stream
        // would have thrown). Otherwise the caller reads the data from the
        // reader, which stands at its start.
        bool inMemory = false;
        std::vector<unsigned char> plain;
        std::exception_ptr failure;
    };

    RecordPrefetch(ArchiveReader& reader, unsigned workers);
    ~RecordPrefetch();
    RecordPrefetch(const RecordPrefetch&) = delete;
    RecordPrefetch& operator=(const RecordPrefetch&) = delete;

    // The next record in archive order; false at the archive's end. A header
    // that cannot be read throws here, in its turn.
    bool next(Record& record);

private:
    struct Entry;

    void fill();
    void workerMain();

    ArchiveReader& reader_;
    unsigned workers_;
    std::deque<std::shared_ptr<Entry>> window_; // archive order
    std::size_t held_ = 0;                     // bytes the window holds or will
    bool ended_ = false;                       // the reader reached the end or broke off

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::shared_ptr<Entry>> queue_; // waiting for a worker
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace vellarion
