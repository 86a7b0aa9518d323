// The events: their order and counts, skipping, pausing and stopping.
#include "ArchiveTestSupport.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

// The progress lines of a file of size bytes read (or written) in 1024-byte
// chunks, with the last one for the read that finds the end.
std::vector<std::string> progressLines(std::size_t size) {
    std::vector<std::string> lines;
    const std::string total = "/" + std::to_string(size);
    std::size_t position = 0;
    while (position < size) {
        position = std::min(position + 1024, size);
        lines.push_back("progress " + std::to_string(position) + total);
    }
    lines.push_back("progress " + std::to_string(size) + total);
    return lines;
}

void append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

TEST(ArchiveEvents, PackingReportsEachFileAndEachChunkInWalkOrder) {
    TempDir tmp;
    const std::map<std::string, std::size_t> sizes = {
        {"three", 3}, {"two-chunks", 2048}, {"sub\\partial", 2500}, {"empty", 0}};
    for (const auto& [name, size] : sizes) {
        writeFile(*nativePathMapper().toNative(programPath(tmp / "src") + "\\" + name),
                  noise(size));
    }
    TJvZlibMultiple codec;
    EventLog log;
    log.attach(codec);
    const std::string archive = programPath(tmp / "a.dat");
    codec.CompressDirectory(programPath(tmp / "src"), true, archive);

    std::vector<std::string> stored;
    codec.ListStoredFiles(archive, stored);
    ASSERT_EQ(stored.size(), 3u);
    std::vector<std::string> expected;
    for (const std::string& name : stored) {
        const std::string full = programPath(tmp / "src") + "\\" + name;
        expected.push_back("compressing " + full);
        append(expected, progressLines(sizes.at(name)));
        expected.push_back("compressed " + full);
    }
    EXPECT_EQ(log.lines, expected);
}

class UnpackEvents : public ::testing::Test {
protected:
    void SetUp() override {
        big = noise(2500);
        writeFile(tmp / "a.dat", record("", "a", "abc") + record("sub\\", "b", big));
        log.attach(codec);
    }
    std::string out(const std::string& name) const {
        return programPath(tmp / "out") + "\\" + name;
    }

    TempDir tmp;
    TJvZlibMultiple codec;
    EventLog log;
    std::string big;
};

TEST_F(UnpackEvents, UnpackingReportsEachRecordAndEachChunk) {
    codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true);
    std::vector<std::string> expected{"decompressing " + out("a")};
    append(expected, progressLines(3));
    expected.push_back("decompressed " + out("a") + " 3");
    expected.push_back("decompressing " + out("sub\\b"));
    append(expected, progressLines(2500));
    expected.push_back("decompressed " + out("sub\\b") + " 2500");
    expected.push_back("completed");
    EXPECT_EQ(log.lines, expected);
    EXPECT_TRUE(readFile(tmp / "out/sub/b") == big);

    log.lines.clear();
    MemoryStream stream(readFile(tmp / "a.dat"));
    codec.DecompressStream(stream, programPath(tmp / "again"), true, true);
    EXPECT_NE(log.lines.back(), "completed");
}

TEST_F(UnpackEvents, ClearingWriteFileUnpacksWithoutWriting) {
    codec.OnDecompressingFile = [&](TJvZlibMultiple&, const std::string& file, bool& write) {
        log.lines.push_back("decompressing " + file);
        write = file != out("a");
    };
    codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true);
    EXPECT_FALSE(fs::exists(tmp / "out/a"));
    EXPECT_TRUE(readFile(tmp / "out/sub/b") == big);
    ASSERT_GE(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0], "decompressing " + out("a"));
    EXPECT_EQ(log.lines[1], "decompressed " + out("a") + " 3");
    EXPECT_EQ(log.lines[2], "decompressing " + out("sub\\b"));
}

TEST(ArchiveEvents, FilesThatCannotBeOpenedAreSkippedAndReported) {
    TempDir tmp;
    writeFile(tmp / "src/good", "good");
    const std::string src = programPath(tmp / "src");
    std::vector<std::string> expectedSkips;
#ifdef _WIN32
    writeFile(tmp / "src/locked", "locked");
    HANDLE lock = ::CreateFileW((tmp / "src/locked").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    expectedSkips.push_back("skip " + src + "\\locked FileOpenError Cannot open file \"" + src +
                            "\\locked\". " + systemErrorText(ERROR_SHARING_VIOLATION));
#else
    fs::create_symlink(tmp / "nowhere", tmp / "src/dangling");
    fs::create_directories(tmp / "elsewhere");
    fs::create_directory_symlink(tmp / "elsewhere", tmp / "src/linked-folder");
    ASSERT_EQ(::mkfifo((tmp / "src/pipe").c_str(), 0600), 0);
    // Links are never followed; messages name paths the way this system
    // writes them.
    expectedSkips = {
        "skip " + src + "\\dangling SymbolicLink Symbolic link \"" + src + "/dangling\" skipped",
        "skip " + src + "\\linked-folder SymbolicLink Symbolic link \"" + src +
            "/linked-folder\" skipped",
        "skip " + src + "\\pipe FileOpenError Cannot open file \"" + src +
            "/pipe\". Not a regular file",
    };
#endif
    TJvZlibMultiple codec;
    EventLog log;
    log.attach(codec);
    codec.CompressDirectory(src, true, programPath(tmp / "a.dat"));
    std::vector<std::string> skips;
    for (const std::string& line : log.lines) {
        if (line.starts_with("skip ")) {
            skips.push_back(line);
        }
    }
    std::sort(skips.begin(), skips.end());
    EXPECT_EQ(skips, expectedSkips);
    std::vector<std::string> stored;
    codec.ListStoredFiles(programPath(tmp / "a.dat"), stored);
    EXPECT_EQ(stored, std::vector<std::string>{"good"});
#ifdef _WIN32
    ::CloseHandle(lock);
#endif

    log.lines.clear();
    const std::string missing = programPath(tmp / "missing");
    codec.CompressDirectory(missing, true, programPath(tmp / "b.dat"));
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"skip " + missing + " FileOpenError Cannot open file \"" +
                                       missing + "\". " + missingPathText()});
    EXPECT_EQ(fs::file_size(tmp / "b.dat"), 0u);
}

#ifdef _WIN32
TEST(ArchiveEvents, IgnoreExclusiveReadsFilesOthersAreWriting) {
    TempDir tmp;
    writeFile(tmp / "src/busy", "busy");
    HANDLE writer =
        ::CreateFileW((tmp / "src/busy").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    TJvZlibMultiple codec;
    int skipped = 0;
    codec.OnFileSkip = [&](auto&, auto&, auto&, auto&) { ++skipped; };
    EXPECT_EQ(codec.CompressDirectory(programPath(tmp / "src"), true)->size(), 0u);
    EXPECT_EQ(skipped, 1);
    codec.IgnoreExclusive = true;
    EXPECT_GT(codec.CompressDirectory(programPath(tmp / "src"), true)->size(), 0u);
    ::CloseHandle(writer);
}
#endif

// Sets the pause flag at the first progress event and has another thread
// clear it a while later; no event may arrive meanwhile.
template <class Run>
void expectPauseHolds(TJvZlibMultiple& codec, std::atomic<bool>& flag, Run run) {
    std::atomic<int> events{0};
    int eventsWhenResumed = -1;
    std::thread resumer;
    codec.OnProgress = [&](TJvZlibMultiple&, std::int32_t, std::int32_t) {
        if (events++ == 0) {
            flag = true;
            resumer = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                eventsWhenResumed = events;
                flag = false;
            });
        }
    };
    run();
    resumer.join();
    EXPECT_EQ(eventsWhenResumed, 1);
    EXPECT_GT(events, 4);
}

TEST(ArchiveEvents, PauseFlagsHoldPackingAndUnpackingBetweenChunks) {
    TempDir tmp;
    writeFile(tmp / "src/file", noise(8000));
    TJvZlibMultiple codec;
    expectPauseHolds(codec, codec.CompressionPaused, [&] {
        codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "a.dat"));
    });
    expectPauseHolds(codec, codec.DecompressionPaused, [&] {
        codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true);
    });
    EXPECT_TRUE(readFile(tmp / "out/file") == noise(8000));
}

TEST(ArchiveEvents, StoppedPackingKeepsThePreviousArchiveAndOnlyWholeRecords) {
    TempDir tmp;
    // Large enough that a worker is still reading the second file when the
    // stop comes.
    for (const char* name : {"one", "two", "three"}) {
        writeFile(tmp / "src" / name, noise(4 * 1024 * 1024));
    }
    writeFile(tmp / "out/a.dat", "previous");
    TJvZlibMultiple codec;
    EventLog log;
    log.attach(codec);
    int files = 0;
    codec.OnCompressingFile = [&](TJvZlibMultiple& sender, const std::string& file) {
        log.lines.push_back("compressing " + file);
        if (++files == 2) {
            sender.StopCompression();
        }
    };
    codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "out/a.dat"));
    EXPECT_EQ(filesBelow(tmp / "out"), (std::map<std::string, std::string>{{"a.dat", "previous"}}));
    EXPECT_EQ(log.lines.back(), "progress 1024/4194304");
    EXPECT_EQ(files, 2);

    TJvZlibMultiple again;
    files = 0;
    again.OnCompressingFile = codec.OnCompressingFile;
    MemoryStream stream;
    EXPECT_FALSE(again.CompressDirectory(programPath(tmp / "src"), true, stream));
    std::vector<std::string> stored;
    stream.seek(0);
    again.ListStoredFiles(stream, stored);
    EXPECT_EQ(stored.size(), 1u);
}

TEST(ArchiveEvents, AStopEndsAPausedPack) {
    TempDir tmp;
    writeFile(tmp / "src/file", noise(100000));
    TJvZlibMultiple codec;
    codec.CompressionPaused = true;
    codec.OnCompressingFile = [](TJvZlibMultiple& sender, const std::string&) {
        sender.StopCompression();
    };
    MemoryStream stream;
    EXPECT_FALSE(codec.CompressDirectory(programPath(tmp / "src"), true, stream));
    EXPECT_EQ(stream.size(), 0u);
}

TEST(ArchiveEvents, StoppedUnpackingRemovesTheFileItWasWriting) {
    TempDir tmp;
    writeFile(tmp / "a.dat", record("", "one", noise(3000)) + record("", "two", noise(3000)) +
                                 record("", "three", "3"));
    TJvZlibMultiple codec;
    EventLog log;
    log.attach(codec);
    codec.OnDecompressingFile = [&](TJvZlibMultiple& sender, const std::string& file, bool&) {
        log.lines.push_back("decompressing " + file);
        if (file.ends_with("two")) {
            sender.StopDecompression();
        }
    };
    codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{"one", summary(noise(3000))}}));
    EXPECT_EQ(log.lines.back(), "completed");
    EXPECT_EQ(log.lines[log.lines.size() - 2], "progress 1024/3000");
}

} // namespace
} // namespace vellarion::test
