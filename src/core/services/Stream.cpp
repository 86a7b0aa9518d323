#include "core/services/Stream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vellarion {

std::size_t Stream::readAt(std::uint64_t at, void* buffer, std::size_t count) {
    const std::uint64_t was = position();
    seek(at);
    const std::size_t n = read(buffer, count);
    seek(was);
    return n;
}

std::size_t MemoryStream::readAt(std::uint64_t at, void* buffer, std::size_t count) {
    if (at >= bytes_.size()) {
        return 0;
    }
    const std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - at);
    std::memcpy(buffer, bytes_.data() + at, n);
    return n;
}

std::size_t MemoryStream::read(void* buffer, std::size_t count) {
    if (position_ >= bytes_.size()) {
        return 0;
    }
    const std::size_t n = std::min<std::uint64_t>(count, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

void MemoryStream::write(const void* data, std::size_t count) {
    if (count == 0) {
        return;
    }
    if (position_ > limit_ || count > limit_ - position_) {
        throw MemoryStreamError();
    }
    const std::size_t end = static_cast<std::size_t>(position_) + count;
    try {
        if (end > bytes_.size()) {
            bytes_.resize(end);
        }
    } catch (const std::bad_alloc&) {
        throw MemoryStreamError();
    } catch (const std::length_error&) {
        throw MemoryStreamError();
    }
    std::memcpy(bytes_.data() + position_, data, count);
    position_ = end;
}

void MemoryStream::truncate(std::uint64_t size) {
    if (size < bytes_.size()) {
        bytes_.resize(static_cast<std::size_t>(size));
    }
}

FileStream::FileStream(platform::File file, std::string fileName)
    : file_(std::move(file)), fileName_(std::move(fileName)) {}

void FileStream::fail(bool reading, const std::error_code& ec) const {
    throw FileIoError(reading ? FileIoError::Operation::Read : FileIoError::Operation::Write,
                      fileName_, ec);
}

namespace {

// Reads pieces until count bytes or the end: readSome(done, ec) reads the
// next piece into the buffer after the `done` bytes read so far; an error
// goes to failed(ec), which throws.
template <class ReadSome, class Failed>
std::size_t readWhole(std::size_t count, const ReadSome& readSome, const Failed& failed) {
    std::size_t total = 0;
    std::error_code ec;
    while (total < count) {
        const std::size_t n = readSome(total, ec);
        if (ec) {
            failed(ec);
        }
        if (n == 0) {
            break;
        }
        total += n;
    }
    return total;
}

} // namespace

std::size_t FileStream::read(void* buffer, std::size_t count) {
    char* into = static_cast<char*>(buffer);
    const std::size_t total = readWhole(
        count,
        [&](std::size_t done, std::error_code& ec) {
            return file_.read(into + done, count - done, ec);
        },
        [this](const std::error_code& ec) { fail(true, ec); });
    position_ += total;
    return total;
}

std::size_t FileStream::readAt(std::uint64_t at, void* buffer, std::size_t count) {
    char* into = static_cast<char*>(buffer);
    const std::size_t total = readWhole(
        count,
        [&](std::size_t done, std::error_code& ec) {
            return file_.readAt(at + done, into + done, count - done, ec);
        },
        [this](const std::error_code& ec) { fail(true, ec); });
#ifdef _WIN32
    seek(position_); // a read at an offset moves a Windows file's position too
#endif
    return total;
}

bool FileStream::readsConcurrently() const {
#ifdef _WIN32
    return false;
#else
    return true;
#endif
}

void FileStream::write(const void* data, std::size_t count) {
    std::error_code ec;
    file_.write(data, count, ec);
    if (ec) {
        fail(false, ec);
    }
    position_ += count;
}

void FileStream::seek(std::uint64_t position) {
    std::error_code ec;
    file_.seek(position, ec);
    if (ec) {
        fail(true, ec);
    }
    position_ = position;
}

std::uint64_t FileStream::size() const {
    std::error_code ec;
    const std::uint64_t n = file_.size(ec);
    if (ec) {
        fail(true, ec);
    }
    return n;
}

void FileStream::truncate(std::uint64_t size) {
    std::error_code ec;
    file_.truncate(size, ec);
    if (ec) {
        fail(false, ec);
    }
}

} // namespace vellarion
