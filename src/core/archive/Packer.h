#pragma once

#include "core/archive/ArchiveWriter.h"
#include "core/archive/BlockDeflate.h"
#include "core/services/PathMapper.h"
#include "core/services/platform/File.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace vellarion {

class TJvZlibMultiple;

// One CompressDirectory run. The calling thread walks the tree, raises the
// events and writes the records in walk order; worker threads open and
// compress the files ahead of it. A file larger than one block is read by the
// worker that opened it and its blocks compressed on every worker at once
// (BlockDeflate.h), joined in order into its record's one zlib stream.
// Compressed data waiting to be written is held to a fixed budget, except for
// the file being written, which flows straight through, and blocks read but
// not yet written to a small multiple of the workers; so memory stays small
// whatever the size of the tree or of one file.
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
    struct Block;
    class Walker;
    struct BlockTask {
        Job* job = nullptr;
        Block* block = nullptr;
    };

    void workerMain();
    void compress(Job& job, BlockDeflater& deflater, std::vector<unsigned char>& input,
                  std::vector<unsigned char>& output);
    void compressInBlocks(Job& job, BlockDeflater& deflater, platform::File& file,
                          std::vector<unsigned char> first, std::vector<unsigned char> second,
                          std::optional<platform::FileStamp> watched);
    bool dispatch(Job& job, std::unique_ptr<Block> block, BlockDeflater& deflater);
    void runBlock(const BlockTask& task, BlockDeflater& deflater);
    void publishBlocks(Job& job);
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
    std::deque<BlockTask> blockQueue_;        // blocks read, no worker has taken yet
    std::size_t blocksHeld_ = 0;              // blocks read, not yet taken by the writer
    std::size_t blockLimit_ = 2;
    const Job* front_ = nullptr;
    std::size_t buffered_ = 0;
    bool walkDone_ = false;
    std::atomic<bool> cancelled_{false}; // written under the mutex, read anywhere
    std::vector<std::thread> workers_;
};

} // namespace vellarion
