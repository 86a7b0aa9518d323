#include "core/archive/BlockDeflate.h"

#include "core/archive/ArchiveError.h"

#include <zlib.h>

#ifdef VELLARION_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace vellarion {

namespace {

// zlib's levels: -1 for its default, 0 to 9; any other is zlib's "stream
// error", whichever library deflates.
int zlibLevel(int level) {
    if (level == Z_DEFAULT_COMPRESSION) {
        return 6;
    }
    if (level < 0 || level > 9) {
        throw ZlibError(Z_STREAM_ERROR);
    }
    return level;
}

void check(int code) {
    if (code != Z_OK) {
        throw ZlibError(code);
    }
}

// An empty stored block that is not the last: what a sync flush ends with,
// closing a block on a byte boundary so that the next one can follow.
constexpr unsigned char kSyncMarker[] = {0x00, 0x00, 0xFF, 0xFF};

// A z_stream with deflate's state, ended with its owner.
struct DeflateStream {
    explicit DeflateStream(int level, int windowBits) {
        check(deflateInit2(&stream, zlibLevel(level), Z_DEFLATED, windowBits, 8,
                           Z_DEFAULT_STRATEGY));
    }
    ~DeflateStream() { deflateEnd(&stream); }
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    // Compresses all of input with the flush given, appending to out.
    void run(std::span<const unsigned char> input, int flush, std::vector<unsigned char>& out) {
        const std::size_t start = out.size();
        // deflateBound() leaves out what a sync flush adds.
        out.resize(start + deflateBound(&stream, static_cast<uLong>(input.size())) + 16);
        stream.next_in = const_cast<Bytef*>(input.data());
        stream.avail_in = static_cast<uInt>(input.size());
        stream.next_out = out.data() + start;
        stream.avail_out = static_cast<uInt>(out.size() - start);
        const int rc = deflate(&stream, flush);
        const bool complete = flush == Z_FINISH ? rc == Z_STREAM_END : rc == Z_OK;
        if (!complete || stream.avail_in != 0 || stream.avail_out == 0) {
            throw ZlibError(rc == Z_OK || rc == Z_STREAM_END ? Z_BUF_ERROR : rc);
        }
        out.resize(out.size() - stream.avail_out);
    }

    z_stream stream{};
};

} // namespace

std::vector<unsigned char> zlibHeader(int level) {
    const int z = zlibLevel(level);
    // zlib's own choice of FLEVEL: 0 fastest, 1 fast, 2 default, 3 best.
    const unsigned levelClass = z < 2 ? 0 : z < 6 ? 1 : z == 6 ? 2 : 3;
    unsigned header = (Z_DEFLATED + ((15 - 8) << 4)) << 8 | levelClass << 6;
    header += 31 - header % 31;
    return {static_cast<unsigned char>(header >> 8), static_cast<unsigned char>(header)};
}

std::uint32_t adler32Of(std::span<const unsigned char> data) {
#ifdef VELLARION_LIBDEFLATE
    return libdeflate_adler32(1, data.data(), data.size());
#else
    uLong adler = adler32(0, nullptr, 0);
    while (!data.empty()) {
        const std::size_t n = std::min<std::size_t>(data.size(), 1u << 30);
        adler = adler32(adler, data.data(), static_cast<uInt>(n));
        data = data.subspan(n);
    }
    return static_cast<std::uint32_t>(adler);
#endif
}

std::uint32_t adler32Combine(std::uint32_t a, std::uint32_t b, std::uint64_t lengthOfB) {
    // Adler-32's sums are kept modulo 65521: so may the length be.
    return static_cast<std::uint32_t>(
        adler32_combine(a, b, static_cast<z_off_t>(lengthOfB % 65521)));
}

#ifdef VELLARION_LIBDEFLATE

// libdeflate stores inputs shorter than this as they are; zlib compresses
// them smaller.
constexpr std::size_t kShortestForLibdeflate = 64;

struct BlockDeflater::Impl {
    explicit Impl(int level)
        : level(level), compressor(libdeflate_alloc_compressor(zlibLevel(level))) {
        if (!compressor) {
            throw ZlibError(Z_MEM_ERROR);
        }
        check(inflateInit2(&scanner, -15));
    }
    ~Impl() {
        libdeflate_free_compressor(compressor);
        inflateEnd(&scanner);
    }

    // Appends the sync marker after a raw deflate stream that libdeflate
    // ended with a final block (it always does), clearing that block's final
    // bit. Where that block starts only an inflate can tell: zlib's stops at
    // every block's end, before the next one's header.
    void unfinish(std::vector<unsigned char>& out, std::size_t start, std::size_t plainSize) {
        check(inflateReset(&scanner));
        scratch.resize(std::max<std::size_t>(plainSize, 1));
        scanner.next_in = out.data() + start;
        scanner.avail_in = static_cast<uInt>(out.size() - start);
        std::uint64_t lastHeader = 0; // bit offset of the final block's header
        unsigned unused = 0;          // bits after the final block's end
        for (bool ended = false; !ended;) {
            scanner.next_out = scratch.data();
            scanner.avail_out = static_cast<uInt>(scratch.size());
            const int rc = inflate(&scanner, Z_BLOCK);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
                throw ZlibError(rc);
            }
            if (rc == Z_BUF_ERROR && scanner.avail_in == 0) {
                throw ZlibError(Z_DATA_ERROR); // cut short: never from libdeflate
            }
            // At a block's end: data_type's low bits count the bits taken
            // but not used, 64 says the block was the final one.
            if (scanner.data_type & 128) {
                const unsigned bits = static_cast<unsigned>(scanner.data_type & 63);
                const std::uint64_t taken = out.size() - start - scanner.avail_in;
                if (scanner.data_type & 64) {
                    unused = bits;
                    ended = true;
                } else {
                    lastHeader = taken * 8 - bits;
                }
            }
        }
        if (scanner.avail_in != 0 || scanner.total_out != plainSize || unused > 7) {
            throw ZlibError(Z_DATA_ERROR);
        }
        out[start + lastHeader / 8] &= static_cast<unsigned char>(~(1u << (lastHeader % 8)));
        // The padding after the end-of-block code becomes the start of an
        // empty stored block (three zero bits, then the byte boundary).
        out.back() &= static_cast<unsigned char>((1u << (8 - unused)) - 1);
        if (unused < 3) {
            out.push_back(0);
        }
        out.insert(out.end(), std::begin(kSyncMarker), std::end(kSyncMarker));
    }

    int level;
    libdeflate_compressor* compressor;
    std::unique_ptr<DeflateStream> shortInputs; // made when first needed
    z_stream scanner{};
    std::vector<unsigned char> scratch;
};

BlockDeflater::BlockDeflater(int level) : impl_(std::make_unique<Impl>(level)) {}

bool BlockDeflater::primedByDictionary() {
    return false; // libdeflate starts every block afresh
}

void BlockDeflater::compressWhole(std::span<const unsigned char> input,
                                  std::vector<unsigned char>& out) {
    if (input.size() < kShortestForLibdeflate) {
        if (!impl_->shortInputs) {
            impl_->shortInputs = std::make_unique<DeflateStream>(impl_->level, 15);
        }
        out.clear();
        check(deflateReset(&impl_->shortInputs->stream));
        impl_->shortInputs->run(input, Z_FINISH, out);
        return;
    }
    out.resize(libdeflate_zlib_compress_bound(impl_->compressor, input.size()));
    const std::size_t n = libdeflate_zlib_compress(impl_->compressor, input.data(), input.size(),
                                                   out.data(), out.size());
    if (n == 0) {
        throw ZlibError(Z_BUF_ERROR);
    }
    out.resize(n);
}

void BlockDeflater::compressBlock(std::span<const unsigned char> input,
                                  std::span<const unsigned char>, bool last,
                                  std::vector<unsigned char>& out) {
    const std::size_t start = out.size();
    out.resize(start + libdeflate_deflate_compress_bound(impl_->compressor, input.size()));
    const std::size_t n = libdeflate_deflate_compress(impl_->compressor, input.data(),
                                                      input.size(), out.data() + start,
                                                      out.size() - start);
    if (n == 0) {
        throw ZlibError(Z_BUF_ERROR);
    }
    out.resize(start + n);
    if (!last) {
        impl_->unfinish(out, start, input.size());
    }
}

#else

struct BlockDeflater::Impl {
    explicit Impl(int level) : whole(level, 15), raw(level, -15) {}
    DeflateStream whole;
    DeflateStream raw;
};

BlockDeflater::BlockDeflater(int level) : impl_(std::make_unique<Impl>(level)) {}

bool BlockDeflater::primedByDictionary() {
    return true;
}

void BlockDeflater::compressWhole(std::span<const unsigned char> input,
                                  std::vector<unsigned char>& out) {
    out.clear();
    check(deflateReset(&impl_->whole.stream));
    impl_->whole.run(input, Z_FINISH, out);
}

void BlockDeflater::compressBlock(std::span<const unsigned char> input,
                                  std::span<const unsigned char> dictionary, bool last,
                                  std::vector<unsigned char>& out) {
    z_stream& stream = impl_->raw.stream;
    check(deflateReset(&stream));
    if (!dictionary.empty()) {
        check(deflateSetDictionary(&stream, dictionary.data(),
                                   static_cast<uInt>(dictionary.size())));
    }
    // A sync flush ends the block on a byte boundary with the empty stored
    // block, and without the final bit.
    impl_->raw.run(input, last ? Z_FINISH : Z_SYNC_FLUSH, out);
}

#endif

BlockDeflater::~BlockDeflater() = default;

} // namespace vellarion
