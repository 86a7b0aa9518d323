#include "archive/Zlib.h"

#include "archive/ArchiveError.h"

#include <algorithm>
#include <climits>

namespace vellarion {

namespace {

// zlib counts in 32-bit units; larger spans are handed over in pieces.
uInt clampLength(std::size_t n) {
    return static_cast<uInt>(std::min<std::size_t>(n, UINT_MAX));
}

void check(int code) {
    if (code != Z_OK) {
        throw ZlibError(code);
    }
}

} // namespace

Deflater::Deflater(int level) {
    check(deflateInit2(&stream_, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
}

Deflater::~Deflater() {
    deflateEnd(&stream_);
}

void Deflater::reset() {
    check(deflateReset(&stream_));
}

ZlibStep Deflater::deflate(std::span<const unsigned char> input, std::span<unsigned char> output,
                           bool finish) {
    const uInt inLength = clampLength(input.size());
    const uInt outLength = clampLength(output.size());
    stream_.next_in = const_cast<Bytef*>(input.data());
    stream_.avail_in = inLength;
    stream_.next_out = output.data();
    stream_.avail_out = outLength;
    const bool lastPiece = finish && inLength == input.size();
    const int rc = ::deflate(&stream_, lastPiece ? Z_FINISH : Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
        throw ZlibError(rc);
    }
    return {inLength - stream_.avail_in, outLength - stream_.avail_out, rc == Z_STREAM_END};
}

Inflater::Inflater() {
    check(inflateInit2(&stream_, 15));
}

Inflater::~Inflater() {
    inflateEnd(&stream_);
}

void Inflater::reset() {
    check(inflateReset(&stream_));
}

ZlibStep Inflater::inflate(std::span<const unsigned char> input, std::span<unsigned char> output) {
    const uInt inLength = clampLength(input.size());
    const uInt outLength = clampLength(output.size());
    stream_.next_in = const_cast<Bytef*>(input.data());
    stream_.avail_in = inLength;
    stream_.next_out = output.data();
    stream_.avail_out = outLength;
    int rc = ::inflate(&stream_, Z_NO_FLUSH);
    if (rc == Z_NEED_DICT) {
        // The archive never uses preset dictionaries.
        rc = Z_DATA_ERROR;
    }
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
        throw ZlibError(rc);
    }
    return {inLength - stream_.avail_in, outLength - stream_.avail_out, rc == Z_STREAM_END};
}

} // namespace vellarion
