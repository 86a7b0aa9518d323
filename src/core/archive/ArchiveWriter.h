#pragma once

#include "core/services/Stream.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// Appends records to a stream through a large buffer. A record's data is
// written as it comes, behind a header whose sizes are filled in when the
// record ends, so no record has to be held in memory whole.
class ArchiveWriter {
public:
    // CompressedSize is a 32-bit field, read as unsigned.
    static constexpr std::uint64_t maxCompressedSize = 0xFFFFFFFF;

    explicit ArchiveWriter(Stream& out, std::uint64_t compressedSizeLimit = maxCompressedSize);

    // Starts a record with the stored (already encoded) Dir and Name; fileName
    // names the source file in errors.
    void beginRecord(std::string_view storedDir, std::string_view storedName, std::string fileName);

    // Appends compressed data; throws RecordTooLargeError when the record's
    // data would not fit its size field.
    void appendData(std::span<const unsigned char> data);

    // Ends the record, filling in UncompressedSize (kept modulo 2^32) and
    // CompressedSize.
    void endRecord(std::uint64_t uncompressedSize);

    // Drops the record begun last, leaving the records before it.
    void abandonRecord();

    // Writes out what is buffered.
    void flush();

private:
    void put(const void* data, std::size_t count);
    std::uint64_t end() const { return bufferStart_ + used_; }

    Stream& out_;
    std::uint64_t limit_;
    std::vector<unsigned char> buffer_;
    std::size_t used_ = 0;
    std::uint64_t bufferStart_;     // stream offset of buffer_[0]
    std::uint64_t recordStart_ = 0; // stream offset of the open record's header
    std::uint64_t sizesAt_ = 0;     // stream offset of its UncompressedSize
    std::uint64_t dataSize_ = 0;
    bool inRecord_ = false;
    std::string fileName_;
};

} // namespace vellarion
