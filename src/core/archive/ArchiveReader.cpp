#include "core/archive/ArchiveReader.h"

#include "core/archive/ArchiveError.h"

#include <algorithm>
#include <cstring>

namespace vellarion {

namespace {

constexpr std::size_t blockSize = 256 * 1024;

std::uint32_t littleEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

ArchiveReader::ArchiveReader(Stream& stream)
    : stream_(stream), end_(std::max(stream.size(), stream.position())) {
    // A small archive gets a small buffer, but one that always holds a whole
    // header (at most 520 bytes).
    const std::uint64_t length = end_ - stream.position();
    buffer_.resize(static_cast<std::size_t>(std::clamp<std::uint64_t>(length, 1024, blockSize)));
}

std::size_t ArchiveReader::fill(std::size_t wanted) {
    std::size_t available = filled_ - begin_;
    if (available >= wanted) {
        return available;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, available);
        filled_ = available;
        begin_ = 0;
    }
    while (filled_ < wanted) {
        const std::size_t n = stream_.read(buffer_.data() + filled_, buffer_.size() - filled_);
        if (n == 0) {
            break;
        }
        filled_ += n;
    }
    return filled_ - begin_;
}

void ArchiveReader::readExactly(void* out, std::size_t count) {
    if (fill(count) < count) {
        throw StreamReadError();
    }
    std::memcpy(out, buffer_.data() + begin_, count);
    begin_ += count;
}

void ArchiveReader::skip(std::uint64_t count) {
    const std::size_t buffered = filled_ - begin_;
    if (count <= buffered) {
        begin_ += static_cast<std::size_t>(count);
        return;
    }
    count -= buffered;
    begin_ = filled_ = 0;
    stream_.seek(stream_.position() + count);
}

bool ArchiveReader::next(RecordHeader& header) {
    skip(dataLeft_);
    dataLeft_ = 0;
    if (fill(1) == 0) {
        return false;
    }
    unsigned char length = 0;
    readExactly(&length, 1);
    header.dir.resize(length);
    readExactly(header.dir.data(), length);
    readExactly(&length, 1);
    header.name.resize(length);
    readExactly(header.name.data(), length);
    unsigned char sizes[8];
    readExactly(sizes, sizeof sizes);
    header.uncompressedSize = littleEndian32(sizes);
    // Read as unsigned: compressed data of 2 GiB up to 4 GiB keeps its record.
    header.compressedSize = littleEndian32(sizes + 4);

    // What is left of the stream after the header: the buffered bytes and
    // whatever lies between the stream's position and its end.
    const std::uint64_t streamPosition = stream_.position();
    const std::uint64_t left =
        (filled_ - begin_) + (end_ > streamPosition ? end_ - streamPosition : 0);
    if (header.compressedSize == 0 || header.compressedSize > left) {
        throw StreamReadError();
    }
    dataLeft_ = header.compressedSize;
    return true;
}

std::span<const unsigned char> ArchiveReader::data() {
    if (dataLeft_ == 0) {
        return {};
    }
    std::size_t available = filled_ - begin_;
    if (available == 0) {
        available = fill(1);
        if (available == 0) {
            // The stream shrank since the header was checked.
            throw StreamReadError();
        }
    }
    return {buffer_.data() + begin_,
            static_cast<std::size_t>(std::min<std::uint64_t>(available, dataLeft_))};
}

void ArchiveReader::consume(std::size_t count) {
    begin_ += count;
    dataLeft_ -= count;
}

} // namespace vellarion
