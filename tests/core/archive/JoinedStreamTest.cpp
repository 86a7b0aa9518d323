// Files larger than one block are compressed a block at a time on several
// threads and the blocks joined into one zlib stream: every size around the
// block boundaries must come back whole, through the codec and through plain
// zlib reading each record's data as one stream.
#include "ArchiveTestSupport.h"
#include "TempDir.h"
#include "core/archive/BlockDeflate.h"
#include "core/archive/JvZlibMultiple.h"

#include <cstring>
#include <gtest/gtest.h>
#include <zlib.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBlock = kDeflateBlockSize;

// Text with the repetitions of a database's pages, and matches reaching back
// across a block's start.
std::string pages(std::size_t size) {
    std::string text;
    for (std::size_t row = 0; text.size() < size; ++row) {
        text += "https://example.org/visit/" + std::to_string(row % 7919) + "?q=" +
                std::to_string(row * 2654435761u % 100000) + " Title of page " +
                std::to_string(row % 613) + "\n";
    }
    text.resize(size);
    return text;
}

struct Record {
    std::string name;
    std::uint32_t uncompressedSize = 0;
    std::string data;
};

// The records of a plain archive, read by hand from the layout.
std::vector<Record> recordsOf(const std::string& archive) {
    std::vector<Record> records;
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) {
            v = v << 8 | static_cast<unsigned char>(archive.at(at + i));
        }
        return v;
    };
    for (std::size_t at = 0; at < archive.size();) {
        Record r;
        const std::size_t dirLength = static_cast<unsigned char>(archive.at(at));
        const std::size_t nameAt = at + 1 + dirLength;
        const std::size_t nameLength = static_cast<unsigned char>(archive.at(nameAt));
        r.name = archive.substr(nameAt + 1, nameLength);
        const std::size_t sizesAt = nameAt + 1 + nameLength;
        r.uncompressedSize = u32(sizesAt);
        r.data = archive.substr(sizesAt + 8, u32(sizesAt + 4));
        at = sizesAt + 8 + r.data.size();
        records.push_back(std::move(r));
    }
    return records;
}

// What plain zlib makes of data read as one stream: the content, or the
// reason it is no single stream filling data exactly.
std::string inflatedByZlib(const std::string& data) {
    z_stream stream{};
    EXPECT_EQ(inflateInit(&stream), Z_OK);
    std::string out;
    std::vector<unsigned char> buffer(64 * 1024);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        stream.next_out = buffer.data();
        stream.avail_out = static_cast<uInt>(buffer.size());
        rc = inflate(&stream, Z_NO_FLUSH);
        out.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - stream.avail_out);
    }
    const uInt left = stream.avail_in;
    inflateEnd(&stream);
    if (rc != Z_STREAM_END) {
        return "zlib error " + std::to_string(rc);
    }
    if (left != 0) {
        return std::to_string(left) + " bytes after the stream's end";
    }
    return out;
}

class JoinedStream : public ::testing::Test {
protected:
    void SetUp() override {
        files = {
            {"empty", ""},
            {"one", "x"},
            {"block-1", pages(kBlock - 1)},
            {"block", pages(kBlock)},
            {"block+1", pages(kBlock + 1)},
            {"many", pages(5 * kBlock + 4321)},
            {"incompressible", noise(2 * kBlock + 77, 9)},
            {"zeros", std::string(3 * kBlock, '\0')},
        };
        for (const auto& [name, content] : files) {
            writeFile(tmp / "src" / name, content);
        }
    }
    std::string pack(unsigned workers) {
        TJvZlibMultiple codec;
        codec.setWorkerCount(workers);
        codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "a.dat"));
        return readFile(tmp / "a.dat");
    }

    TempDir tmp;
    std::map<std::string, std::string> files;
};

TEST_F(JoinedStream, EverySizeAroundTheBlocksIsOneZlibStreamOfTheWholeFile) {
    const std::string archive = pack(3);
    std::map<std::string, std::string> read;
    for (const Record& r : recordsOf(archive)) {
        SCOPED_TRACE(r.name);
        const std::string& content = files.at(r.name);
        EXPECT_EQ(r.uncompressedSize, content.size());
        EXPECT_EQ(r.data.substr(0, 2), "\x78\x9C");
        read[r.name] = inflatedByZlib(r.data);
        EXPECT_EQ(summary(read[r.name]), summary(content));
    }
    std::map<std::string, std::string> stored = files;
    stored.erase("empty"); // a zero-length file is never stored
    EXPECT_EQ(read.size(), stored.size());
    // Joined, the blocks compress as well as a whole stream does.
    const std::size_t whole = zlibStream(files.at("many")).size();
    for (const Record& r : recordsOf(archive)) {
        if (r.name == "many") {
            EXPECT_LT(r.data.size(), whole + whole / 50);
        }
    }
}

TEST_F(JoinedStream, TheArchiveIsTheSameOnAnyNumberOfThreadsAndUnpacksWhole) {
    const std::string one = pack(1);
    EXPECT_EQ(pack(2), one);
    EXPECT_EQ(pack(5), one);
    TJvZlibMultiple codec;
    EXPECT_EQ(codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true,
                                   true),
              files.size() - 1);
    std::map<std::string, std::string> expected = filesBelow(tmp / "src");
    expected.erase("empty");
    EXPECT_EQ(filesBelow(tmp / "out"), expected);
    EXPECT_TRUE(codec.VerifyFile(programPath(tmp / "a.dat")).sound());
}

// A block's data damaged in the middle of a joined stream is found, as in
// any stream.
TEST_F(JoinedStream, DamageInALaterBlockIsFound) {
    std::string archive = pack(2);
    std::size_t dataSize = 0;
    for (const Record& r : recordsOf(archive)) {
        dataSize = r.name == "many" ? r.data.size() : dataSize;
    }
    const std::size_t at = archive.find("many") + 4 + 8 + dataSize * 3 / 5;
    archive[at] = static_cast<char>(archive[at] ^ 0x55);
    writeFile(tmp / "a.dat", archive);
    TJvZlibMultiple codec;
    const ArchiveCheck check = codec.VerifyFile(programPath(tmp / "a.dat"));
    ASSERT_EQ(check.damaged.size(), 1u);
    EXPECT_EQ(check.damaged[0].name, "many");
}

// A joined stream as a writer without libdeflate makes it: each block primed
// with the 32 KiB before it, so that it refers back across its start.
std::string primedBlocks(const std::string& content) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out = "\x78\x9C";
    std::vector<unsigned char> buffer(2 * kBlock);
    for (std::size_t at = 0; at < content.size(); at += kBlock) {
        deflateReset(&stream);
        if (at > 0) {
            deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(content.data() + at) - 32768,
                                 32768);
        }
        const std::size_t n = std::min(kBlock, content.size() - at);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data() + at));
        stream.avail_in = static_cast<uInt>(n);
        stream.next_out = buffer.data();
        stream.avail_out = static_cast<uInt>(buffer.size());
        deflate(&stream, at + n == content.size() ? Z_FINISH : Z_SYNC_FLUSH);
        out.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - stream.avail_out);
    }
    deflateEnd(&stream);
    const uLong adler = adler32(1, reinterpret_cast<const Bytef*>(content.data()),
                                static_cast<uInt>(content.size()));
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>(adler >> shift));
    }
    return out;
}

// Records larger than what is inflated whole in memory: split where the
// codec's blocks end and inflated in pieces, or read as one stream where the
// writer did not split them so; the same content either way, and the same
// errors as reading one stream gives.
class LargeRecord : public ::testing::Test {
protected:
    std::string content = pages(9 * kBlock + 12345);
    std::string archive() const { return programPath(tmp / "a.dat"); }
    std::string unpack() {
        fs::remove_all(tmp / "out");
        TJvZlibMultiple codec;
        return errorOf([&] { codec.DecompressFile(archive(), programPath(tmp / "out"), true, true); });
    }
    std::string verify() {
        TJvZlibMultiple codec;
        const ArchiveCheck check = codec.VerifyFile(archive());
        return check.damaged.empty() ? "sound" : check.damaged[0].reason;
    }
    TempDir tmp;
};

TEST_F(LargeRecord, EveryWriterSplitOfTheStreamUnpacksWhole) {
    writeFile(tmp / "src" / "big", content);
    TJvZlibMultiple packer;
    packer.CompressDirectory(programPath(tmp / "src"), true, archive());
    const std::string packed = readFile(tmp / "a.dat");
    const std::string primed = primedBlocks(content);
    const std::string whole = zlibStream(content);
    for (const std::string& data : {recordsOf(packed).at(0).data, primed, whole}) {
        writeFile(tmp / "a.dat",
                  rawRecord("", "big", static_cast<std::uint32_t>(content.size()),
                            static_cast<std::int32_t>(data.size()), data) +
                      record("", "after", "next"));
        EXPECT_EQ(unpack(), "no error");
        EXPECT_EQ(summary(readFile(tmp / "out" / "big")), summary(content));
        EXPECT_EQ(readFile(tmp / "out" / "after"), "next");
    }
}

TEST_F(LargeRecord, DamageIsReportedAsReadingOneStreamReportsIt) {
    writeFile(tmp / "src" / "big", content);
    TJvZlibMultiple packer;
    packer.CompressDirectory(programPath(tmp / "src"), true, archive());
    const std::string data = recordsOf(readFile(tmp / "a.dat")).at(0).data;
    struct Case {
        const char* what;
        std::string data;
        std::uint32_t size;
        const char* error;
    };
    std::string middle = data;
    middle[data.size() * 3 / 5] ^= 0x40;
    std::string checksum = data;
    checksum.back() ^= 0x01;
    const auto size = static_cast<std::uint32_t>(content.size());
    const Case cases[] = {
        {"a byte of a later block", middle, size, "zlib returned: data error"},
        {"the checksum", checksum, size, "zlib returned: data error"},
        {"the size", data, size + 1, "Stream read error"},
        {"the data cut short", data.substr(0, data.size() - 2), size, "Stream read error"},
        {"data after the stream", data + "xy", size, "Stream read error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(tmp / "a.dat", rawRecord("", "big", c.size,
                                           static_cast<std::int32_t>(c.data.size()), c.data));
        EXPECT_EQ(unpack(), c.error);
        EXPECT_EQ(verify(), c.error);
        EXPECT_FALSE(fs::exists(tmp / "out" / "big"));
    }
}

} // namespace
} // namespace vellarion::test
