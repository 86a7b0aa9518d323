#pragma once

#include "core/services/Error.h"
#include "core/services/platform/File.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace vellarion {

// An in-memory stream could not grow.
class MemoryStreamError : public Error {
public:
    MemoryStreamError() : Error("Out of memory while expanding memory stream") {}
};

// A seekable sequence of bytes: what the archive codec reads archives from
// and packs archives into, and what the encrypted container wraps. Failures
// are thrown as vellarion::Error.
class Stream {
public:
    virtual ~Stream() = default;

    // Reads up to count bytes at the position and moves past them; fewer
    // bytes come back only at the end of the stream.
    virtual std::size_t read(void* buffer, std::size_t count) = 0;

    // Writes all count bytes at the position, growing the stream as needed.
    virtual void write(const void* data, std::size_t count) = 0;

    virtual std::uint64_t position() const = 0;
    virtual void seek(std::uint64_t position) = 0;
    virtual std::uint64_t size() const = 0;

    // Cuts the stream to size bytes; the position stays where it was.
    virtual void truncate(std::uint64_t size) = 0;

    // Reads up to count bytes at `at` and leaves the position where it was;
    // fewer come back only at the end. When readsConcurrently() holds,
    // several threads may read so at once (and nothing else meanwhile);
    // otherwise one at a time: by default this seeks there and back.
    virtual std::size_t readAt(std::uint64_t at, void* buffer, std::size_t count);
    virtual bool readsConcurrently() const { return false; }
};

// A stream held in memory.
class MemoryStream final : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

    // The longest the stream may grow; growing beyond it fails just as running
    // out of memory does.
    void setCapacityLimit(std::size_t limit) { limit_ = limit; }

    const std::string& bytes() const { return bytes_; }

    std::size_t read(void* buffer, std::size_t count) override;
    void write(const void* data, std::size_t count) override;
    std::uint64_t position() const override { return position_; }
    void seek(std::uint64_t position) override { position_ = position; }
    std::uint64_t size() const override { return bytes_.size(); }
    void truncate(std::uint64_t size) override;
    std::size_t readAt(std::uint64_t at, void* buffer, std::size_t count) override;
    bool readsConcurrently() const override { return true; }

private:
    std::string bytes_;
    std::uint64_t position_ = 0;
    std::size_t limit_ = std::numeric_limits<std::size_t>::max();
};

// A stream over an open native file. fileName (a program path) names the
// file in error messages.
class FileStream final : public Stream {
public:
    FileStream(platform::File file, std::string fileName);

    const std::string& fileName() const { return fileName_; }
    platform::File& file() { return file_; }

    std::size_t read(void* buffer, std::size_t count) override;
    void write(const void* data, std::size_t count) override;
    std::uint64_t position() const override { return position_; }
    void seek(std::uint64_t position) override;
    std::uint64_t size() const override;
    void truncate(std::uint64_t size) override;
    std::size_t readAt(std::uint64_t at, void* buffer, std::size_t count) override;
    bool readsConcurrently() const override;

private:
    [[noreturn]] void fail(bool reading, const std::error_code& ec) const;

    platform::File file_;
    std::string fileName_;
    std::uint64_t position_ = 0;
};

} // namespace vellarion
