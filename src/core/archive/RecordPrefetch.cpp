#include "core/archive/RecordPrefetch.h"

#include "core/archive/ArchiveError.h"
#include "core/archive/Zlib.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <zlib.h>

#ifdef VELLARION_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace vellarion {

namespace {

// A record is inflated ahead when its data and its content both fit these;
// a larger one is streamed by the caller. Data of 1 MiB inflates to 1 GiB at
// most, never to 4 GiB and more, so a content larger than its record says is
// always an error.
constexpr std::uint32_t kLargestData = 1024 * 1024;
constexpr std::uint32_t kLargestContent = 8 * 1024 * 1024;
// What the records read ahead may hold at once, data and content.
constexpr std::size_t kBudget = 32 * 1024 * 1024;
constexpr std::size_t kMostRecords = 4096;
// A large record's pieces: the longest piece of data looked through for its
// end, and the most a piece may inflate to. The codec's own blocks are far
// below both; a stream that is not split so is read as one.
constexpr std::size_t kLongestPiece = 4 * 1024 * 1024;
constexpr std::size_t kLargestPieceContent = 8 * 1024 * 1024;
// An empty final block (fixed codes, end of block at once): ends a piece
// cut at a sync marker so that it inflates on its own.
constexpr unsigned char kFinalEmptyBlock[] = {0x03, 0x00};

} // namespace

// A worker's inflaters. inflate(): a record's whole data as reading it in one
// stream would, the content or the error that reading throws (the same for
// the same damage). inflatePiece(): a piece of raw deflate data standing
// alone, or false.
class RecordPrefetch::Decoder {
public:
    Decoder() {
#ifdef VELLARION_LIBDEFLATE
        fast_ = libdeflate_alloc_decompressor();
#endif
    }
    ~Decoder() {
#ifdef VELLARION_LIBDEFLATE
        libdeflate_free_decompressor(fast_);
#endif
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

#ifdef VELLARION_LIBDEFLATE
    // True when data is deflate blocks that end with a final one exactly at
    // its end and refer to nothing before its start; out then holds what
    // they inflate to (at most `largest` bytes).
    bool inflatePiece(std::span<const unsigned char> data, std::size_t largest,
                      ContentBytes& out) {
        // Room for the codec's own blocks first, more only when needed.
        for (std::size_t room = std::min(largest, std::size_t{2} << 20);; room = largest) {
            out.resize(room);
            std::size_t taken = 0;
            std::size_t produced = 0;
            const libdeflate_result result =
                fast_ ? libdeflate_deflate_decompress_ex(fast_, data.data(), data.size(),
                                                         out.data(), out.size(), &taken, &produced)
                      : LIBDEFLATE_BAD_DATA;
            if (result == LIBDEFLATE_INSUFFICIENT_SPACE && room < largest) {
                continue;
            }
            const bool whole = result == LIBDEFLATE_SUCCESS && taken == data.size();
            out.resize(whole ? produced : 0);
            return whole;
        }
    }
#endif

    void inflate(std::span<const unsigned char> data, std::uint32_t size, ContentBytes& plain) {
        plain.resize(size);
#ifdef VELLARION_LIBDEFLATE
        std::size_t taken = 0;
        std::size_t produced = 0;
        if (fast_ &&
            libdeflate_zlib_decompress_ex(fast_, data.data(), data.size(), plain.data(),
                                          plain.size(), &taken, &produced) == LIBDEFLATE_SUCCESS &&
            taken == data.size() && produced == plain.size()) {
            return;
        }
        // Anything else is damage: zlib says which, as a stream read would.
#endif
        stream_.reset();
        std::vector<unsigned char> beyond; // what a lying size would overflow
        std::uint64_t produced64 = 0;
        for (bool ended = false; !ended;) {
            if (data.empty()) {
                throw StreamReadError(); // the data ends before the zlib stream
            }
            std::span<unsigned char> out;
            if (produced64 < plain.size()) {
                out = std::span(plain).subspan(static_cast<std::size_t>(produced64));
            } else {
                beyond.resize(256 * 1024);
                out = beyond;
            }
            const ZlibStep step = stream_.inflate(data, out);
            data = data.subspan(step.consumed);
            ended = step.ended;
            if (step.consumed == 0 && step.produced == 0 && !ended) {
                throw StreamReadError();
            }
            produced64 += step.produced;
        }
        if (produced64 != size || !data.empty()) {
            throw StreamReadError();
        }
    }

private:
    Inflater stream_;
#ifdef VELLARION_LIBDEFLATE
    libdeflate_decompressor* fast_ = nullptr;
#endif
};

struct RecordPrefetch::Entry {
    RecordHeader header;
    std::exception_ptr brokenOff; // the header could not be read
    bool inMemory = false;
    std::vector<unsigned char> data;
    // Set by a worker, under the mutex.
    bool done = false;
    ContentBytes plain;
    std::exception_ptr failure;
    std::size_t cost = 0; // what it holds in the budget
};

RecordPrefetch::RecordPrefetch(ArchiveReader& reader, unsigned workers)
    : reader_(reader), workers_(std::max(1u, workers)) {}

RecordPrefetch::~RecordPrefetch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void RecordPrefetch::submit(Task task) {
    if (threads_.size() < workers_) {
        threads_.emplace_back([this] { workerMain(); });
    }
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void RecordPrefetch::runOnWorker(std::function<void()> work) {
    submit([work = std::move(work)](Decoder&) { work(); });
}

void RecordPrefetch::workerMain() {
    Decoder decoder;
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task(decoder);
    }
}

void RecordPrefetch::fill() {
    while (!ended_ && window_.size() < kMostRecords &&
           (window_.empty() || (window_.back()->inMemory && held_ < kBudget))) {
        auto entry = std::make_shared<Entry>();
        try {
            if (!reader_.next(entry->header)) {
                ended_ = true;
                return;
            }
        } catch (...) {
            // Thrown when the caller reaches it: the records before it are
            // unpacked first, as a reading in one pass would.
            entry->brokenOff = std::current_exception();
            ended_ = true;
            window_.push_back(std::move(entry));
            return;
        }
        const RecordHeader& h = entry->header;
        entry->inMemory = h.compressedSize <= kLargestData && h.uncompressedSize <= kLargestContent;
        if (entry->inMemory) {
            entry->data.resize(h.compressedSize);
            std::size_t filled = 0;
            while (filled < entry->data.size()) {
                const std::span<const unsigned char> part = reader_.data();
                std::copy(part.begin(), part.end(), entry->data.begin() + filled);
                filled += part.size();
                reader_.consume(part.size());
            }
            entry->cost = entry->data.size() + h.uncompressedSize;
            held_ += entry->cost;
            submit([this, entry](Decoder& decoder) {
                ContentBytes plain;
                std::exception_ptr failure;
                try {
                    decoder.inflate(entry->data, entry->header.uncompressedSize, plain);
                } catch (...) {
                    failure = std::current_exception();
                }
                {
                    std::lock_guard lock(mutex_);
                    entry->plain = std::move(plain);
                    entry->failure = failure;
                    entry->data = {};
                    entry->done = true;
                }
                wake_.notify_all();
            });
        }
        window_.push_back(std::move(entry));
    }
}

bool RecordPrefetch::next(Record& record) {
    fill();
    if (window_.empty()) {
        return false;
    }
    std::shared_ptr<Entry> entry = std::move(window_.front());
    window_.pop_front();
    if (entry->brokenOff) {
        std::rethrow_exception(entry->brokenOff);
    }
    record.header = entry->header;
    record.inMemory = entry->inMemory;
    record.plain.clear();
    record.failure = nullptr;
    if (entry->inMemory) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return entry->done; });
        held_ -= entry->cost;
        record.plain = std::move(entry->plain);
        record.failure = entry->failure;
    }
    return true;
}

namespace {

#ifdef VELLARION_LIBDEFLATE
// Where a sync marker (00 00 FF FF: the empty stored block that ends each
// block but the last of a joined stream on a byte boundary) ends in data,
// looking from `from` on; 0 when none.
std::size_t markerEnd(const std::vector<unsigned char>& data, std::size_t from) {
    for (std::size_t at = from + 3; at < data.size(); ++at) {
        const void* found = std::memchr(data.data() + at, 0xFF, data.size() - at);
        if (!found) {
            return 0;
        }
        at = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - data.data());
        if (at >= 3 && data[at - 1] == 0xFF && data[at - 2] == 0x00 && data[at - 3] == 0x00) {
            return at + 1;
        }
    }
    return 0;
}

#endif

std::uint32_t bigEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

std::uint32_t adler32Update(std::uint32_t adler, const unsigned char* data, std::size_t count) {
#ifdef VELLARION_LIBDEFLATE
    return libdeflate_adler32(adler, data, count);
#else
    while (count > 0) {
        const uInt n = static_cast<uInt>(std::min<std::size_t>(count, 1u << 30));
        adler = static_cast<std::uint32_t>(::adler32(adler, data, n));
        data += n;
        count -= n;
    }
    return adler;
#endif
}

#ifdef VELLARION_LIBDEFLATE
// The last 32 KiB of content: what a stream going on from here may refer to.
void keepWindow(std::vector<unsigned char>& window, const unsigned char* data, std::size_t count) {
    constexpr std::size_t kWindow = 32 * 1024;
    if (count >= kWindow) {
        window.assign(data + count - kWindow, data + count);
        return;
    }
    window.insert(window.end(), data, data + count);
    if (window.size() > kWindow) {
        window.erase(window.begin(), window.end() - static_cast<std::ptrdiff_t>(kWindow));
    }
}
#endif

} // namespace

struct RecordPrefetch::Piece {
    std::vector<unsigned char> data; // raw deflate; a final empty block after `length`
    std::size_t length = 0;          // of the record's own bytes
    bool last = false;
    // Set by a worker, under the mutex.
    bool done = false;
    bool whole = false;
    ContentBytes content;
    std::uint32_t adler = 1;
};

bool RecordPrefetch::inflateSequentially(const RecordHeader& header,
                                         std::vector<unsigned char> pending, bool raw,
                                         std::span<const unsigned char> window,
                                         std::uint64_t produced, std::uint32_t adler,
                                         const Sink& sink) {
    // The bytes read ahead first, then the rest of the record's data.
    std::size_t pendingAt = 0;
    const auto input = [&]() -> std::span<const unsigned char> {
        if (pendingAt < pending.size()) {
            return std::span<const unsigned char>(pending).subspan(pendingAt);
        }
        return reader_.data();
    };
    const auto consume = [&](std::size_t count) {
        if (pendingAt < pending.size()) {
            pendingAt += count;
        } else {
            reader_.consume(count);
        }
    };
    z_stream stream{};
    if (inflateInit2(&stream, raw ? -15 : 15) != Z_OK) {
        throw ZlibError(Z_MEM_ERROR);
    }
    const std::unique_ptr<z_stream, int (*)(z_stream*)> ended(&stream, inflateEnd);
    if (raw && !window.empty() &&
        inflateSetDictionary(&stream, window.data(), static_cast<uInt>(window.size())) != Z_OK) {
        throw ZlibError(Z_STREAM_ERROR);
    }
    std::vector<unsigned char> output(256 * 1024);
    for (bool done = false; !done;) {
        const std::span<const unsigned char> in = input();
        if (in.empty()) {
            throw StreamReadError(); // the data ends before the zlib stream
        }
        const uInt inLength = static_cast<uInt>(std::min<std::size_t>(in.size(), 1u << 30));
        stream.next_in = const_cast<Bytef*>(in.data());
        stream.avail_in = inLength;
        stream.next_out = output.data();
        stream.avail_out = static_cast<uInt>(output.size());
        int rc = ::inflate(&stream, Z_NO_FLUSH);
        if (rc == Z_NEED_DICT) {
            rc = Z_DATA_ERROR; // the archive never uses preset dictionaries
        }
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            throw ZlibError(rc);
        }
        const std::size_t taken = inLength - stream.avail_in;
        const std::size_t made = output.size() - stream.avail_out;
        consume(taken);
        done = rc == Z_STREAM_END;
        if (taken == 0 && made == 0 && !done) {
            throw StreamReadError();
        }
        if (raw) {
            adler = adler32Update(adler, output.data(), made);
        }
        produced += made;
        if (!sink(output.data(), made)) {
            return false;
        }
    }
    if (raw) {
        // The zlib trailer after the deflate data, checked as zlib would.
        unsigned char trailer[4];
        for (std::size_t got = 0; got < sizeof trailer;) {
            const std::span<const unsigned char> in = input();
            if (in.empty()) {
                throw StreamReadError();
            }
            const std::size_t n = std::min(in.size(), sizeof trailer - got);
            std::memcpy(trailer + got, in.data(), n);
            consume(n);
            got += n;
        }
        if (bigEndian32(trailer) != adler) {
            throw ZlibError(Z_DATA_ERROR);
        }
    }
    if (static_cast<std::uint32_t>(produced) != header.uncompressedSize ||
        pendingAt < pending.size() || reader_.dataLeft() != 0) {
        throw StreamReadError();
    }
    return true;
}

bool RecordPrefetch::inflateLarge(const RecordHeader& header, const Sink& sink) {
#ifndef VELLARION_LIBDEFLATE
    return inflateSequentially(header, {}, false, {}, 0, 1, sink);
#else
    // Bytes read and not yet cut into a piece.
    std::vector<unsigned char> read;
    const auto readMore = [&] {
        const std::span<const unsigned char> in = reader_.data();
        read.insert(read.end(), in.begin(), in.end());
        reader_.consume(in.size());
        return !in.empty();
    };
    while (read.size() < 2 && readMore()) {
    }
    // A zlib header of deflate with a 32 KiB window and no dictionary, and
    // room for data and the trailer; anything else is read as one stream,
    // which says what is wrong.
    const bool usual = read.size() >= 2 && (read[0] & 0x0F) == 8 && (read[0] >> 4) <= 7 &&
                       (read[0] << 8 | read[1]) % 31 == 0 && !(read[1] & 0x20) &&
                       header.compressedSize > 2 + 4;
    if (!usual) {
        return inflateSequentially(header, std::move(read), false, {}, 0, 1, sink);
    }
    read.erase(read.begin(), read.begin() + 2);

    std::deque<std::shared_ptr<Piece>> pieces; // cut, in order, not yet handed out
    std::uint64_t produced = 0;
    std::uint32_t adler = 1;
    std::vector<unsigned char> window;
    std::array<unsigned char, 4> trailer{};
    bool allCut = false;
    std::size_t searched = 0; // of `read`, looked through for a marker
    const std::size_t most = std::clamp<std::size_t>(2 * workers_, 2, 16);

    const auto cut = [&](std::size_t length, bool last) {
        auto piece = std::make_shared<Piece>();
        piece->data.assign(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(length));
        piece->length = length;
        piece->last = last;
        if (!last) {
            piece->data.insert(piece->data.end(), std::begin(kFinalEmptyBlock),
                               std::end(kFinalEmptyBlock));
        }
        read.erase(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(length));
        searched = 0;
        pieces.push_back(piece);
        submit([this, piece](Decoder& decoder) {
            ContentBytes content;
            const bool whole = decoder.inflatePiece(piece->data, kLargestPieceContent, content);
            const std::uint32_t pieceAdler = adler32Update(1, content.data(), content.size());
            {
                std::lock_guard lock(mutex_);
                piece->content = std::move(content);
                piece->whole = whole;
                piece->adler = pieceAdler;
                piece->done = true;
            }
            wake_.notify_all();
        });
    };
    // Goes on as one stream from the end of the pieces handed out: those
    // not handed out and what was read after them come first.
    const auto asOneStream = [&] {
        std::vector<unsigned char> pending;
        for (const std::shared_ptr<Piece>& piece : pieces) {
            pending.insert(pending.end(), piece->data.begin(),
                           piece->data.begin() + static_cast<std::ptrdiff_t>(piece->length));
            if (piece->last) {
                pending.insert(pending.end(), trailer.begin(), trailer.end());
            }
        }
        pending.insert(pending.end(), read.begin(), read.end());
        return inflateSequentially(header, std::move(pending), true, window, produced, adler,
                                   sink);
    };

    for (;;) {
        while (!allCut && pieces.size() < most) {
            const std::size_t end = markerEnd(read, searched);
            // A piece ends at a marker with data and the trailer still after it.
            if (end != 0 && read.size() - end + reader_.dataLeft() > 4) {
                cut(end, false);
                continue;
            }
            if (reader_.dataLeft() == 0) {
                if (read.size() <= 4) {
                    return asOneStream();
                }
                std::copy(read.end() - 4, read.end(), trailer.begin());
                read.resize(read.size() - 4);
                cut(read.size(), true);
                allCut = true;
                break;
            }
            if (read.size() > kLongestPiece) {
                return asOneStream(); // no block end where the codec puts one
            }
            searched = read.size() >= 3 ? read.size() - 3 : 0;
            readMore();
        }
        if (pieces.empty()) {
            break;
        }
        const std::shared_ptr<Piece> piece = pieces.front();
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return piece->done; });
        }
        if (!piece->whole) {
            return asOneStream();
        }
        pieces.pop_front();
        produced += piece->content.size();
        adler = adler32_combine(adler, piece->adler,
                                static_cast<z_off_t>(piece->content.size()));
        keepWindow(window, piece->content.data(), piece->content.size());
        if (!sink(piece->content.data(), piece->content.size())) {
            return false;
        }
    }
    if (bigEndian32(trailer.data()) != adler) {
        throw ZlibError(Z_DATA_ERROR); // as zlib finds a wrong checksum
    }
    if (static_cast<std::uint32_t>(produced) != header.uncompressedSize) {
        throw StreamReadError();
    }
    return true;
#endif
}

} // namespace vellarion
