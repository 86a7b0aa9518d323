#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vellarion {

// A file larger than one block is compressed a block at a time, on several
// threads at once, and the blocks are joined into the one zlib stream its
// record holds: the zlib header, each block's raw deflate data ending on a
// byte boundary without the final bit (an empty stored block closes it, as a
// sync flush does), the last block ending the deflate stream, then the
// Adler-32 of the whole file, combined from the blocks' own. Any zlib reader
// inflates it as one stream. The block size is fixed, so the archive's bytes
// do not depend on how many threads packed it.
inline constexpr std::size_t kDeflateBlockSize = 1024 * 1024;
// What a block's compressor is primed with: deflate's whole window.
inline constexpr std::size_t kDeflateWindow = 32 * 1024;

// The two bytes every record's zlib stream starts with at this level (-1 for
// the default), as zlib writes them: 15 window bits, the level's class.
std::vector<unsigned char> zlibHeader(int level);

std::uint32_t adler32Of(std::span<const unsigned char> data);
// The Adler-32 of a followed by b, from theirs and b's length.
std::uint32_t adler32Combine(std::uint32_t a, std::uint32_t b, std::uint64_t lengthOfB);

// One thread's compressor, reused from file to file and block to block.
// Built on libdeflate where the build has it (faster at the same size), else
// on zlib; both write what any zlib reader reads.
class BlockDeflater {
public:
    explicit BlockDeflater(int level);
    ~BlockDeflater();
    BlockDeflater(const BlockDeflater&) = delete;
    BlockDeflater& operator=(const BlockDeflater&) = delete;

    // Whether compressBlock() uses the dictionary it is given: when not, the
    // caller need not keep it.
    static bool primedByDictionary();

    // The whole zlib stream of input (a file of one block), into out.
    void compressWhole(std::span<const unsigned char> input, std::vector<unsigned char>& out);

    // One block's raw deflate data, appended to out: ended on a byte boundary
    // without the final bit unless last. dictionary: the end of the block
    // before (at most kDeflateWindow bytes), empty for the first.
    void compressBlock(std::span<const unsigned char> input,
                       std::span<const unsigned char> dictionary, bool last,
                       std::vector<unsigned char>& out);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vellarion
