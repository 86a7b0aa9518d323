#include "core/archive/Zlib.h"

#include "core/archive/ArchiveError.h"

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

// One call into zlib over as much of input and output as it takes at once.
// A "buffer error" only means no progress was possible; the caller sees that
// in the counts.
template <class Call>
ZlibStep step(z_stream& stream, std::span<const unsigned char> input,
              std::span<unsigned char> output, Call call) {
    const uInt inLength = clampLength(input.size());
    const uInt outLength = clampLength(output.size());
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = inLength;
    stream.next_out = output.data();
    stream.avail_out = outLength;
    const int rc = call(inLength);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
        throw ZlibError(rc);
    }
    return {inLength - stream.avail_in, outLength - stream.avail_out, rc == Z_STREAM_END};
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
    return step(stream_, input, output, [&](uInt inLength) {
        const bool lastPiece = finish && inLength == input.size();
        return ::deflate(&stream_, lastPiece ? Z_FINISH : Z_NO_FLUSH);
    });
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
    return step(stream_, input, output, [&](uInt) {
        const int rc = ::inflate(&stream_, Z_NO_FLUSH);
        // The archive never uses preset dictionaries.
        return rc == Z_NEED_DICT ? Z_DATA_ERROR : rc;
    });
}

} // namespace vellarion
