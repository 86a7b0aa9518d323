#pragma once

#include <cstddef>
#include <span>
#include <zlib.h>

namespace vellarion {

// What one call into zlib did.
struct ZlibStep {
    std::size_t consumed = 0; // input bytes taken
    std::size_t produced = 0; // output bytes written
    bool ended = false;       // the zlib stream is complete
};

// A zlib (RFC 1950) compressor with the archive's parameters: deflate, 15
// window bits, memory level 8, default strategy. Reusable through reset().
class Deflater {
public:
    explicit Deflater(int level);
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Starts a new stream, keeping the allocated state.
    void reset();

    // Compresses as much of input as fits into output. With finish set the
    // stream is ended once all input is taken (call again while !ended).
    ZlibStep deflate(std::span<const unsigned char> input, std::span<unsigned char> output,
                     bool finish);

private:
    z_stream stream_{};
};

// A zlib decompressor (15 window bits). Reusable through reset().
class Inflater {
public:
    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    void reset();

    // Inflates from input into output. Damaged data throws ZlibError.
    ZlibStep inflate(std::span<const unsigned char> input, std::span<unsigned char> output);

private:
    z_stream stream_{};
};

} // namespace vellarion
