#include "core/archive/ArchiveWriter.h"

#include "core/archive/ArchiveError.h"

#include <cstring>

namespace vellarion {

namespace {

constexpr std::size_t bufferSize = 1024 * 1024;

void putLittleEndian32(unsigned char* p, std::uint32_t value) {
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

} // namespace

ArchiveWriter::ArchiveWriter(Stream& out, std::uint64_t compressedSizeLimit)
    : out_(out), limit_(compressedSizeLimit), buffer_(bufferSize), bufferStart_(out.position()) {}

void ArchiveWriter::put(const void* data, std::size_t count) {
    if (count > buffer_.size() - used_) {
        flush();
        if (count >= buffer_.size()) {
            out_.write(data, count);
            bufferStart_ += count;
            return;
        }
    }
    std::memcpy(buffer_.data() + used_, data, count);
    used_ += count;
}

void ArchiveWriter::flush() {
    if (used_ > 0) {
        out_.write(buffer_.data(), used_);
        bufferStart_ += used_;
        used_ = 0;
    }
}

void ArchiveWriter::beginRecord(std::string_view storedDir, std::string_view storedName,
                                std::string fileName) {
    recordStart_ = end();
    unsigned char length = static_cast<unsigned char>(storedDir.size());
    put(&length, 1);
    put(storedDir.data(), storedDir.size());
    length = static_cast<unsigned char>(storedName.size());
    put(&length, 1);
    put(storedName.data(), storedName.size());
    sizesAt_ = end();
    const unsigned char sizes[8] = {};
    put(sizes, sizeof sizes);
    dataSize_ = 0;
    inRecord_ = true;
    fileName_ = std::move(fileName);
}

void ArchiveWriter::appendData(std::span<const unsigned char> data) {
    if (data.size() > limit_ - dataSize_) {
        throw RecordTooLargeError(fileName_);
    }
    dataSize_ += data.size();
    put(data.data(), data.size());
}

void ArchiveWriter::endRecord(std::uint64_t uncompressedSize) {
    unsigned char sizes[8];
    putLittleEndian32(sizes, static_cast<std::uint32_t>(uncompressedSize));
    putLittleEndian32(sizes + 4, static_cast<std::uint32_t>(dataSize_));
    inRecord_ = false;
    if (sizesAt_ >= bufferStart_) {
        std::memcpy(buffer_.data() + (sizesAt_ - bufferStart_), sizes, sizeof sizes);
        return;
    }
    // The header went out already: patch it in place, then carry on at the end.
    flush();
    const std::uint64_t resume = end();
    out_.seek(sizesAt_);
    out_.write(sizes, sizeof sizes);
    out_.seek(resume);
}

void ArchiveWriter::abandonRecord() {
    if (!inRecord_) {
        return;
    }
    inRecord_ = false;
    if (recordStart_ >= bufferStart_) {
        used_ = static_cast<std::size_t>(recordStart_ - bufferStart_);
        return;
    }
    used_ = 0;
    out_.truncate(recordStart_);
    out_.seek(recordStart_);
    bufferStart_ = recordStart_;
}

} // namespace vellarion
