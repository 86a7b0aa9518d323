#pragma once

#include "core/services/Stream.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vellarion {

// One record's header as stored: Dir and Name in the writer's 8-bit
// encoding, the sizes as the record gives them.
struct RecordHeader {
    std::string dir;
    std::string name;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t compressedSize = 0;
};

// Reads the records of an archive from a stream's position to its end.
// A header cut short, a CompressedSize of 0, or one that runs past
// the end of the stream throw StreamReadError before any of the record's
// data is read, so no size field ever decides how much is allocated.
class ArchiveReader {
public:
    explicit ArchiveReader(Stream& stream);

    // The next record's header, or false at the end of the archive. The
    // data of the previous record is skipped if it was not read.
    bool next(RecordHeader& header);

    // The current record's data not yet taken, a block at a time; empty when
    // all of it was taken. Take what you used with consume().
    std::span<const unsigned char> data();
    void consume(std::size_t count);

    // Bytes of the current record's data not yet taken.
    std::uint64_t dataLeft() const { return dataLeft_; }

private:
    std::size_t fill(std::size_t wanted);
    void readExactly(void* out, std::size_t count);
    void skip(std::uint64_t count);

    Stream& stream_;
    std::uint64_t end_;
    std::vector<unsigned char> buffer_;
    std::size_t begin_ = 0;  // first unread byte in buffer_
    std::size_t filled_ = 0; // bytes of buffer_ holding data
    std::uint64_t dataLeft_ = 0;
};

} // namespace vellarion
