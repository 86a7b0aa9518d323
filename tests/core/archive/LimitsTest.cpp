// The sizes at the edge of a record's header: files of 4 GiB and more,
// compressed data of 2 GiB and more, and data CompressedSize cannot hold.
#include "ArchiveTestSupport.h"
#include "FileTree.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"

#include <fstream>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// Packs a folder holding "big", a sparse file of `holes` bytes of holes
// followed by "tail!", and "small", at the compression level given.
void packBigAndSmall(const TempDir& tmp, std::uint64_t holes, int level, TJvZlibMultiple& codec) {
    fs::create_directories(tmp / "src");
    {
        std::ofstream big(tmp / "src/big", std::ios::binary);
        big.seekp(static_cast<std::streamoff>(holes));
        big << "tail!";
    }
    writeFile(tmp / "src/small", "small");
    codec.CompressionLevel = level;
    codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "a.dat"));
}

// A sparse file: 4 GiB of holes and a few bytes, packed at the fastest level
// into an archive of a few MB, unpacked with every record inflated and
// checked (its zlib checksum, its size modulo 2^32), the big one without
// being written anywhere.
TEST(ArchiveLimits, AFileOf4GiBOrMoreIsStoredAndReadBack) {
    TempDir tmp;
    TJvZlibMultiple codec;
    packBigAndSmall(tmp, std::uint64_t{1} << 32, 1, codec);

    std::map<std::string, std::uint32_t> sizes;
    codec.forEachStoredEntry(programPath(tmp / "a.dat"), [&](const StoredEntry& entry) {
        sizes[entry.name] = entry.uncompressedSize;
    });
    // UncompressedSize holds the size modulo 2^32.
    EXPECT_EQ(sizes, (std::map<std::string, std::uint32_t>{{"big", 5}, {"small", 5}}));

    std::uint64_t inflated = 0;
    codec.OnDecompressingFile = [](TJvZlibMultiple&, const std::string& name, bool& write) {
        write = !name.ends_with("big");
    };
    codec.OnDecompressedFile = [&](TJvZlibMultiple&, const std::string& name, std::uint32_t) {
        if (name.ends_with("big")) {
            ++inflated;
        }
    };
    EXPECT_EQ(
        codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true), 1u);
    EXPECT_EQ(inflated, 1u);
    EXPECT_EQ(filesBelow(tmp / "out"), (std::map<std::string, std::string>{{"small", "small"}}));
}

// Compressed data past 2 GiB (a file over 2 GiB that does not compress;
// stored uncompressed here, level 0, from a sparse file) keeps its record:
// CompressedSize is read as unsigned, and the records after it are found.
TEST(ArchiveLimits, CompressedDataOf2GiBOrMoreIsStoredAndReadBack) {
    TempDir tmp;
    constexpr std::uint64_t size = (std::uint64_t{1} << 31) + 65536;
    TJvZlibMultiple codec;
    packBigAndSmall(tmp, size - 5, 0, codec);

    std::map<std::string, std::uint32_t> stored;
    codec.forEachStoredEntry(programPath(tmp / "a.dat"), [&](const StoredEntry& entry) {
        stored[entry.name] = entry.compressedSize;
    });
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_GT(stored["big"], 0x80000000u);
    EXPECT_LT(stored["small"], 100u);
    EXPECT_TRUE(codec.VerifyFile(programPath(tmp / "a.dat")).sound());

    std::uint64_t bigSize = 0;
    codec.OnDecompressingFile = [](TJvZlibMultiple&, const std::string& name, bool& write) {
        write = !name.ends_with("big");
    };
    codec.OnDecompressedFile = [&](TJvZlibMultiple&, const std::string& name, std::uint32_t n) {
        if (name.ends_with("big")) {
            bigSize = n;
        }
    };
    EXPECT_EQ(
        codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true), 1u);
    EXPECT_EQ(bigSize, static_cast<std::uint32_t>(size));
    EXPECT_EQ(filesBelow(tmp / "out"), (std::map<std::string, std::string>{{"small", "small"}}));
}
#endif

// A record's data must fit the 32-bit CompressedSize. A file whose
// compressed data would not is left out and named; the files around it and
// the archive stay whole (the limit is lowered so that a few MB reach it).
TEST(ArchiveLimits, AFileTooBigForItsRecordIsNamedAndTheRestOfTheBackupKept) {
    TempDir tmp;
    writeFile(tmp / "src/a-before", "before");
    writeFile(tmp / "src/huge", noise(3 * 1024 * 1024));
    writeFile(tmp / "src/z-after", noise(100000, 2));
    TJvZlibMultiple codec;
    codec.setRecordDataLimit(2 * 1024 * 1024);
    codec.setWorkerCount(2);
    EventLog log;
    log.attach(codec);
    codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "a.dat"));

    std::vector<std::string> skips;
    for (const std::string& line : log.lines) {
        if (line.starts_with("skip ")) {
            skips.push_back(line);
        }
    }
    const std::string huge = programPath(tmp / "src") + "\\huge";
    const std::string shown = programPath((tmp / "src/huge").make_preferred());
    EXPECT_EQ(skips, std::vector<std::string>{"skip " + huge +
                                              " RecordTooLargeError Cannot store file \"" + shown +
                                              "\": its compressed data exceeds 4294967295 bytes"});
    const ArchiveCheck check = codec.VerifyFile(programPath(tmp / "a.dat"));
    EXPECT_TRUE(check.sound());
    codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{"a-before", "before"},
                                                  {"z-after", summary(noise(100000, 2))}}));
}

} // namespace
} // namespace vellarion::test
