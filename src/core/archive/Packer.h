#pragma once

#include "core/archive/ArchiveWriter.h"
#include "core/archive/Zlib.h"
#include "core/services/PathMapper.h"
#include "core/services/platform/File.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace vellarion {

class TJvZlibMultiple;

// One CompressDirectory run. The calling thread walks the tree, raises the
// events and writes the records in walk order; worker threads open and
// compress the files ahead of it. Compressed data waiting to be written is
// held to a fixed budget, except for the file being written, which flows
// straight through; so memory stays small whatever the size of the tree.
class Packer {
public:
    struct Settings {
        std::string directory; // ends in "\" unless empty
        bool recursive = true;
        unsigned workers = 1;
        // Files never to pack: the archive being written and the one it
        // replaces.
        std::vector<platform::FileIdentity> excluded;
    };

    Packer(TJvZlibMultiple& codec, const PathMapper& paths, Settings settings);
    ~Packer();
    Packer(const Packer&) = delete;
    Packer& operator=(const Packer&) = delete;

    // Packs the tree into out; false when stopped (the record being written
    // then is dropped).
    bool run(ArchiveWriter& out);

private:
    struct Job;
    class Walker;

    void workerMain();
    void compress(Job& job, Deflater& deflater, std::vector<unsigned char>& input,
                  std::vector<unsigned char>& output);
    bool publish(Job& job, std::span<const unsigned char> data, std::uint64_t bytesRead, bool last);
    void finish(Job& job);
    bool waitWhilePaused() const;
    bool progress(std::uint64_t position, std::uint64_t total);
    bool packFront(Job& job, ArchiveWriter& out);
    void skipped(const Job& job, const std::string& type, const std::string& text);
    void topUp(Walker& walker);
    void cancel();

    TJvZlibMultiple& codec_;
    const PathMapper& paths_;
    Settings settings_;
    platform::ReadShare share_;
    int level_;

    std::mutex mutex_;
    std::condition_variable workersWake_;     // a job was queued, budget freed, front moved, cancel
    std::condition_variable callerWake_;      // a worker published something
    std::deque<std::unique_ptr<Job>> window_; // walk order; the front is being written
    std::deque<Job*> queue_;                  // jobs no worker has taken yet
    const Job* front_ = nullptr;
    std::size_t buffered_ = 0;
    bool walkDone_ = false;
    std::atomic<bool> cancelled_{false}; // written under the mutex, read anywhere
    std::vector<std::thread> workers_;
};

} // namespace vellarion
