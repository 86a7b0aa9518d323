// Packing generated trees and unpacking them again, with each option.
#include "ArchiveTestSupport.h"
#include "FileSizeLimit.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

void writeHidden(const fs::path& file, std::string_view content) {
    writeFile(file, content);
#ifdef _WIN32
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
#endif
}

// A tree with the shapes a profile has: nested, empty and hidden entries,
// zero-length files, non-ASCII and long names, sizes around the 1024-byte
// chunk, large files, many small files.
void buildTree(const fs::path& root) {
    writeFile(root / "top.txt", "hello");
    writeHidden(root / ".hidden", "secret");
    writeFile(root / "zero", "");
    fs::create_directories(root / "empty" / "deeper");
    writeFile(root / "only-empty" / "zero", "");
    writeFile(root / "deep/er/est/file.bin", noise(300000));
    for (std::size_t size : {1, 1023, 1024, 1025, 65543}) {
        writeFile(root / "sizes" / std::to_string(size), noise(size, static_cast<unsigned>(size)));
    }
    std::string text;
    while (text.size() < 3 * 1024 * 1024) {
        text += "user_pref(\"browser.startup.page\", " + std::to_string(text.size()) + ");\n";
    }
    writeFile(root / "big" / "prefs.js", text);
    writeFile(root / pathFromUtf8("Café/résumé.json"), "{}");
#ifndef _WIN32
    // Windows stores names in its ANSI code page, which may lack these.
    writeFile(root / pathFromUtf8("Профиль/закладки.json"), "{\"закладки\": []}");
#endif
    writeFile(root / (std::string(200, 'n') + ".txt"), "long");
    for (int i = 0; i < 300; ++i) {
        writeFile(root / "many" / ("f" + std::to_string(i)), "file " + std::to_string(i));
    }
}

std::map<std::string, std::string> nonEmpty(std::map<std::string, std::string> files) {
    std::erase_if(files, [](const auto& file) { return file.second.empty(); });
    return files;
}

// The walk order: each folder's listing in the order the system gives it,
// a subfolder's files where the subfolder stands.
void listingOrder(const fs::path& folder, const std::string& relative,
                  std::vector<std::string>& out) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = pathToUtf8(entry.path().filename());
        if (entry.is_directory()) {
            listingOrder(entry.path(), relative + name + "\\", out);
        } else if (entry.file_size() > 0) {
            out.push_back(relative + name);
        }
    }
}

class ArchiveRoundTrip : public ::testing::Test {
protected:
    void SetUp() override { buildTree(tmp / "src"); }
    std::string src() const { return programPath(tmp / "src"); }
    std::string archive() const { return programPath(tmp / "a.dat"); }
    std::string out() const { return programPath(tmp / "out"); }

    TempDir tmp;
    TJvZlibMultiple codec;
};

TEST_F(ArchiveRoundTrip, EveryNonEmptyFileComesBackWhereItWas) {
    codec.CompressDirectory(src(), true, archive());
    codec.DecompressFile(archive(), out(), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"), nonEmpty(filesBelow(tmp / "src")));
    const std::set<std::string> folders = foldersBelow(tmp / "out");
    EXPECT_TRUE(folders.contains("deep/er/est"));
    EXPECT_FALSE(folders.contains("empty"));
    EXPECT_FALSE(folders.contains("only-empty"));
    EXPECT_FALSE(fs::exists(tmp / "out/zero"));
}

TEST_F(ArchiveRoundTrip, RecordsFollowTheListingDepthFirst) {
    codec.CompressDirectory(src(), true, archive());
    std::vector<std::string> list;
    codec.ListStoredFiles(archive(), list);
    std::vector<std::string> expected;
    listingOrder(tmp / "src", "", expected);
    EXPECT_EQ(list, expected);
}

TEST_F(ArchiveRoundTrip, NotRecursivePacksTheTopFolderOnly) {
    codec.CompressDirectory(src(), false, archive());
    codec.DecompressFile(archive(), out(), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{".hidden", "secret"},
                                                  {"top.txt", "hello"},
                                                  {std::string(200, 'n') + ".txt", "long"}}));
}

TEST_F(ArchiveRoundTrip, BytesAndEventsDoNotDependOnWorkerThreadsOrTarget) {
    std::vector<std::string> archives;
    std::vector<std::vector<std::string>> logs;
    for (unsigned workers : {1u, 2u, 5u}) {
        TJvZlibMultiple c;
        c.setWorkerCount(workers);
        EventLog log;
        log.attach(c);
        c.CompressDirectory(src(), true, archive());
        archives.push_back(readFile(tmp / "a.dat"));
        logs.push_back(log.lines);
    }
    EXPECT_EQ(archives[0], archives[1]);
    EXPECT_EQ(archives[0], archives[2]);
    EXPECT_EQ(logs[0], logs[1]);
    EXPECT_EQ(logs[0], logs[2]);
    EXPECT_EQ(codec.CompressDirectory(src(), true)->bytes(), archives[0]);
}

TEST_F(ArchiveRoundTrip, WithoutStoredPathsEveryFileLandsInTheTarget) {
    fs::remove_all(tmp / "src");
    writeFile(tmp / "src/a/one", "1");
    writeFile(tmp / "src/b/c/two", "2");
    codec.StorePaths = false;
    codec.CompressDirectory(src(), true, archive());
    std::vector<std::string> list;
    codec.ListStoredFiles(archive(), list);
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{"one", "two"}));
    codec.DecompressFile(archive(), out(), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{"one", "1"}, {"two", "2"}}));
}

TEST_F(ArchiveRoundTrip, OverwriteDecidesWhetherExistingFilesAreReplaced) {
    fs::remove_all(tmp / "src");
    writeFile(tmp / "src/kept", "new kept");
    writeFile(tmp / "src/sub/added", "added");
    codec.CompressDirectory(src(), true, archive());
    writeFile(tmp / "out/kept", "old kept");

    EventLog log;
    log.attach(codec);
    codec.DecompressFile(archive(), out(), false, true);
    EXPECT_EQ(readFile(tmp / "out/kept"), "old kept");
    EXPECT_EQ(readFile(tmp / "out/sub/added"), "added");
    for (const std::string& line : log.lines) {
        EXPECT_EQ(line.find("kept"), std::string::npos) << line;
    }

    codec.DecompressFile(archive(), out(), true, true);
    EXPECT_EQ(readFile(tmp / "out/kept"), "new kept");
}

TEST_F(ArchiveRoundTrip, WithoutRelativePathsFilesGoToTheTopAndFoldersStayEmpty) {
    fs::remove_all(tmp / "src");
    writeFile(tmp / "src/sub/deeper/file", "f");
    writeFile(tmp / "src/top", "t");
    codec.CompressDirectory(src(), true, archive());
    codec.DecompressFile(archive(), out(), true, false);
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{"file", "f"}, {"top", "t"}}));
    EXPECT_TRUE(fs::is_directory(tmp / "out/sub/deeper"));

    fs::remove_all(tmp / "out");
    codec.ForceDirectoriesFlag = false;
    fs::create_directories(tmp / "out");
    codec.DecompressFile(archive(), out(), true, false);
    EXPECT_FALSE(fs::exists(tmp / "out/sub"));
    EXPECT_EQ(filesBelow(tmp / "out").size(), 2u);
}

TEST_F(ArchiveRoundTrip, WithoutForcedDirectoriesAMissingFolderFailsTheFile) {
    fs::remove_all(tmp / "src");
    writeFile(tmp / "src/sub/file", "f");
    codec.CompressDirectory(src(), true, archive());
    fs::create_directories(tmp / "out");
    codec.ForceDirectoriesFlag = false;
    const std::string target = programPath(tmp / "out" / "sub" / "file");
    EXPECT_EQ(errorOf([&] { codec.DecompressFile(archive(), out(), true, true); }),
              "Cannot create file \"" + target + "\". " + missingPathText());
}

TEST_F(ArchiveRoundTrip, StreamsAreReadFromTheirPosition) {
    const std::string bytes = codec.CompressDirectory(src(), true)->bytes();
    MemoryStream stream("not an archive" + bytes);
    stream.seek(14);
    codec.DecompressStream(stream, out(), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"), nonEmpty(filesBelow(tmp / "src")));
}

// Into a fresh folder of its own an unpack writes the small files on its
// workers: every file is whole when it returns, a name held twice ends with
// the later record's content, and a write that fails fails the unpack.
TEST(ArchiveInPlace, EveryFileIsWholeAndTheLaterOfTwoNamesWins) {
    TempDir tmp;
    std::string archive = record("", "dup", "first") + record("", "large", std::string(9 << 20, 'L'));
    std::map<std::string, std::string> expected{{"large", std::string(9 << 20, 'L')}};
    for (int i = 0; i < 400; ++i) {
        const std::string content = noise(100 + i * 37, static_cast<unsigned>(i));
        archive += record("many", "f" + std::to_string(i), content);
        expected["many/f" + std::to_string(i)] = content;
        if (i == 200) {
            archive += record("", "dup", "second") + record("", "large", "small now");
        }
    }
    expected["dup"] = "second";
    expected["large"] = "small now";
    writeFile(tmp / "a.dat", archive);
    TJvZlibMultiple codec;
    codec.WriteInPlace = true;
    EXPECT_EQ(codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true),
              404u);
    std::map<std::string, std::string> got;
    for (const auto& [name, content] : filesBelow(tmp / "out")) {
        got[name] = content;
    }
    std::map<std::string, std::string> want;
    for (const auto& [name, content] : expected) {
        want[name] = summary(content);
    }
    EXPECT_EQ(got, want);
}

#ifndef _WIN32
TEST(ArchiveInPlace, AWriteThatFailsOnAWorkerFailsTheUnpack) {
    TempDir tmp;
    std::string archive;
    for (int i = 0; i < 50; ++i) {
        archive += record("", "f" + std::to_string(i), std::string(i == 30 ? 200000 : 100, 'x'));
    }
    writeFile(tmp / "a.dat", archive);
    TJvZlibMultiple codec;
    codec.WriteInPlace = true;
    std::string error;
    {
        FileSizeLimit limit(64 * 1024);
        error = errorOf([&] {
            codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true);
        });
    }
    EXPECT_EQ(error, "Cannot write file \"" + programPath(tmp / "out/f30") + "\". " +
                         systemErrorText(EFBIG));
}
#endif

} // namespace
} // namespace vellarion::test
