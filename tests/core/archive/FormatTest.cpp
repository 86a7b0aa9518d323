// The bytes of an archive: the worked example, Dir and Name, levels, cuts.
#include "ArchiveTestSupport.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

TEST(ArchiveFormat, WorkedExamplePacksListsAndUnpacksByteForByte) {
    TempDir tmp;
    writeFile(tmp / "src/a", "abc");
    TJvZlibMultiple codec;
    codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "a.dat"));
    EXPECT_EQ(readFile(tmp / "a.dat"), workedExample());
    EXPECT_EQ(codec.CompressDirectory(programPath(tmp / "src"), true)->bytes(), workedExample());

    std::vector<std::string> list;
    codec.ListStoredFiles(programPath(tmp / "a.dat"), list);
    EXPECT_EQ(list, std::vector<std::string>{"a"});

    codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"), (std::map<std::string, std::string>{{"a", "abc"}}));
}

TEST(ArchiveFormat, SubdirectoryFileCarriesItsDirWithBackslash) {
    TempDir tmp;
    writeFile(tmp / "src/sub/b", "b");
    TJvZlibMultiple codec;
    const std::string bytes = codec.CompressDirectory(programPath(tmp / "src"), true)->bytes();
    EXPECT_EQ(bytes.substr(0, 7), fromHex("04 73 75 62 5C 01 62"));
    EXPECT_EQ(bytes.substr(15, 2), fromHex("78 9C"));

    MemoryStream stream(bytes);
    std::vector<std::string> list{"kept"};
    codec.ListStoredFiles(stream, list);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "sub\\b"}));
}

TEST(ArchiveFormat, EmptyTreesGiveEmptyArchivesThatUnpackToNothing) {
    TempDir tmp;
    fs::create_directories(tmp / "src/empty/deeper");
    writeFile(tmp / "src/zero", "");
    TJvZlibMultiple codec;
    EventLog log;
    log.attach(codec);
    codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "e.dat"));
    EXPECT_EQ(fs::file_size(tmp / "e.dat"), 0u);
    EXPECT_TRUE(log.lines.empty());

    codec.DecompressFile(programPath(tmp / "e.dat"), programPath(tmp / "out"), true, true);
    EXPECT_EQ(log.lines, std::vector<std::string>{"completed"});
    EXPECT_FALSE(fs::exists(tmp / "out"));
}

TEST(ArchiveFormat, CompressionLevelReachesTheZlibHeader) {
    TempDir tmp;
    writeFile(tmp / "src/a", "abcabcabc");
    TJvZlibMultiple codec;
    codec.CompressionLevel = 9;
    EXPECT_EQ(codec.CompressDirectory(programPath(tmp / "src"), true)->bytes().substr(11, 2),
              fromHex("78 DA"));
    codec.CompressionLevel = 1;
    EXPECT_EQ(codec.CompressDirectory(programPath(tmp / "src"), true)->bytes().substr(11, 2),
              fromHex("78 01"));
    codec.CompressionLevel = 42;
    EXPECT_EQ(errorOf([&] { codec.CompressDirectory(programPath(tmp / "src"), true); }),
              "zlib returned: Stream error");
}

#ifndef _WIN32
// A Dir or Name holds at most 255 bytes. A longer path is never cut (two
// folders alike in their first 255 bytes would merge into one): the folder
// is left out and named.
TEST(ArchiveFormat, APathLongerThanARecordHoldsIsNamedAndLeftOut) {
    TempDir tmp;
    std::string euro84;
    for (int i = 0; i < 84; ++i) {
        euro84 += "\xE2\x82\xAC"; // "€", three bytes
    }
    const std::string a(100, 'a');
    const std::string b(100, 'b');
    const std::string c(60, 'c');
    writeFile(tmp / ("src/" + a + "/" + b + "/" + c + "1/f"), "one");
    writeFile(tmp / ("src/" + a + "/" + b + "/" + c + "2/f"), "two");
    writeFile(tmp / ("src/" + a + "/" + b + "/near"), "fits");
    writeFile(tmp / ("src/" + euro84 + "/f"), "253 bytes");
    writeFile(tmp / ("src/" + euro84 + "/" + euro84 + "/f"), "506 bytes");
    TJvZlibMultiple codec;
    EventLog log;
    log.attach(codec);
    const auto archive = codec.CompressDirectory(programPath(tmp / "src"), true);
    std::vector<std::string> stored;
    codec.ListStoredFiles(*archive, stored);
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::string>{a + "\\" + b + "\\near", euro84 + "\\f"}));

    std::vector<std::string> skips;
    for (const std::string& line : log.lines) {
        if (line.starts_with("skip ")) {
            skips.push_back(line.substr(line.find(" PathTooLong ") + 13));
        }
    }
    std::sort(skips.begin(), skips.end());
    const std::string src = programPath(tmp / "src");
    const std::string tooLong = "\": its path is longer than an archive can hold (255 bytes)";
    EXPECT_EQ(skips, (std::vector<std::string>{
                         "Cannot store \"" + src + "/" + a + "/" + b + "/" + c + "1" + tooLong,
                         "Cannot store \"" + src + "/" + a + "/" + b + "/" + c + "2" + tooLong,
                         "Cannot store \"" + src + "/" + euro84 + "/" + euro84 + tooLong,
                     }));

    archive->seek(0);
    codec.DecompressStream(*archive, programPath(tmp / "out"), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{a + "/" + b + "/near", "fits"},
                                                  {euro84 + "/f", "253 bytes"}}));
}
#endif

#ifdef _WIN32
TEST(ArchiveFormat, CharactersOutsideTheCodePageAreStoredAsQuestionMarks) {
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "needs the Western European code page";
    }
    TempDir tmp;
    writeFile(tmp / "src/caf\xC3\xA9 \xE4\xB8\xAD.txt", "x"); // "café 中.txt"
    TJvZlibMultiple codec;
    const std::string bytes = codec.CompressDirectory(programPath(tmp / "src"), true)->bytes();
    EXPECT_EQ(bytes.substr(1, 11), "\x0A"
                                   "caf\xE9 ?.txt");
    // "?" cannot be in a Windows file name; it is unpacked as "_".
    MemoryStream stream(bytes);
    codec.DecompressStream(stream, programPath(tmp / "out"), true, true);
    EXPECT_TRUE(fs::exists(tmp / "out/caf\xC3\xA9 _.txt"));
}
#endif

} // namespace
} // namespace vellarion::test
