// Where the codec protects the user's data: streaming, atomic replacement,
// foreign names, damaged archives, sizes that do not fit.
#include "ArchiveTestSupport.h"
#include "FileSizeLimit.h"
#include "FileTree.h"
#include "TempDir.h"
#include "core/archive/ArchiveError.h"
#include "core/archive/ArchiveWriter.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

TEST(ArchiveSafety, RecordsReachTheDiskWhileLaterFilesArePacked) {
    TempDir tmp;
    writeFile(tmp / "src/one", noise(3 * 1024 * 1024, 1));
    writeFile(tmp / "src/two", noise(3 * 1024 * 1024, 2));
    fs::create_directories(tmp / "out");
    TJvZlibMultiple codec;
    int files = 0;
    std::uintmax_t onDiskAtSecond = 0;
    codec.OnCompressingFile = [&](TJvZlibMultiple&, const std::string&) {
        if (++files == 2) {
            for (const auto& entry : fs::directory_iterator(tmp / "out")) {
                onDiskAtSecond += entry.file_size();
            }
        }
    };
    codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "out/a.dat"));
    // The first record is over 3 MiB; at most a write buffer of it may wait.
    EXPECT_GE(onDiskAtSecond, 2u * 1024 * 1024);
}

TEST(ArchiveSafety, AFailedPackLeavesThePreviousArchiveAndNoPartialFile) {
    TempDir tmp;
    writeFile(tmp / "src/a", noise(200000));
    writeFile(tmp / "src/b", noise(200000, 2));
    writeFile(tmp / "out/a.dat", "previous");
    TJvZlibMultiple codec;
    int files = 0;
    codec.OnCompressedFile = [&](TJvZlibMultiple&, const std::string&) {
        if (++files == 2) {
            throw Error("the handler gave up");
        }
    };
    EXPECT_EQ(errorOf([&] {
                  codec.CompressDirectory(programPath(tmp / "src"), true,
                                          programPath(tmp / "out/a.dat"));
              }),
              "the handler gave up");
    EXPECT_EQ(namesIn(tmp / "out"), std::vector<std::string>{"a.dat"});
    EXPECT_EQ(readFile(tmp / "out/a.dat"), "previous");

    codec.OnCompressedFile = nullptr;
    codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "out/a.dat"));
    EXPECT_EQ(namesIn(tmp / "out"), std::vector<std::string>{"a.dat"});
    EXPECT_GT(fs::file_size(tmp / "out/a.dat"), 400000u);
}

// Several archives that must replace their predecessors together wait
// beside them until committed.
TEST(ArchiveSafety, APendingArchiveReplacesThePreviousOneOnlyWhenCommitted) {
    TempDir tmp;
    writeFile(tmp / "src/a", "new");
    writeFile(tmp / "out/a.dat", "previous");
    TJvZlibMultiple codec;
    {
        auto dropped = codec.CompressDirectoryPending(programPath(tmp / "src"), true,
                                                      programPath(tmp / "out/a.dat"));
        ASSERT_NE(dropped, nullptr);
        EXPECT_EQ(readFile(tmp / "out/a.dat"), "previous");
    }
    EXPECT_EQ(namesIn(tmp / "out"), std::vector<std::string>{"a.dat"});
    EXPECT_EQ(readFile(tmp / "out/a.dat"), "previous");

    auto kept = codec.CompressDirectoryPending(programPath(tmp / "src"), true,
                                               programPath(tmp / "out/a.dat"));
    ASSERT_NE(kept, nullptr);
    kept->commit();
    EXPECT_EQ(namesIn(tmp / "out"), std::vector<std::string>{"a.dat"});
    std::vector<std::string> stored;
    codec.ListStoredFiles(programPath(tmp / "out/a.dat"), stored);
    EXPECT_EQ(stored, std::vector<std::string>{"a"});

    codec.StopCompression();
    EXPECT_EQ(codec.CompressDirectoryPending(programPath(tmp / "src"), true,
                                             programPath(tmp / "out/b.dat")),
              nullptr);
    EXPECT_EQ(namesIn(tmp / "out"), std::vector<std::string>{"a.dat"});
}

#ifndef _WIN32
// The file system refuses to let the archive grow past 64 KiB.
TEST(ArchiveSafety, AWriteErrorLeavesThePreviousArchiveAndNoPartialFile) {
    TempDir tmp;
    writeFile(tmp / "src/big", noise(300000));
    writeFile(tmp / "out/a.dat", "previous");
    TJvZlibMultiple codec;
    const std::string archive = programPath(tmp / "out/a.dat");
    std::string error;
    {
        FileSizeLimit limit(64 * 1024);
        error = errorOf([&] { codec.CompressDirectory(programPath(tmp / "src"), true, archive); });
    }
    EXPECT_EQ(error, "Cannot write file \"" + archive + "\". " + systemErrorText(EFBIG));
    EXPECT_EQ(namesIn(tmp / "out"), std::vector<std::string>{"a.dat"});
    EXPECT_EQ(readFile(tmp / "out/a.dat"), "previous");
}
#endif

// Reading a whole archive without writing: every record inflated and
// checked, the damaged ones named, a cut archive noticed where it breaks.
TEST(ArchiveSafety, VerifyNamesTheDamagedRecordsAndWhereAnArchiveBreaksOff) {
    TempDir tmp;
    const std::string good = record("", "a.txt", "first file") +
                             record("sub", "b.txt", std::string(5000, 'b')) +
                             record("", "c.txt", "third");
    writeFile(tmp / "good.dat", good);
    TJvZlibMultiple codec;
    std::vector<std::string> seen;
    codec.OnVerifyingFile = [&](TJvZlibMultiple&, const std::string& name) {
        seen.push_back(name);
    };
    const ArchiveCheck sound = codec.VerifyFile(programPath(tmp / "good.dat"));
    EXPECT_TRUE(sound.sound());
    EXPECT_EQ(sound.records, 3u);
    EXPECT_EQ(seen, (std::vector<std::string>{"a.txt", "sub\\b.txt", "c.txt"}));

    // One flipped bit in the second record's data: its checksum fails, the
    // records around it are sound.
    std::string flipped = good;
    flipped[record("", "a.txt", "first file").size() + 20] ^= 0x10;
    writeFile(tmp / "flipped.dat", flipped);
    const ArchiveCheck damaged = TJvZlibMultiple().VerifyFile(programPath(tmp / "flipped.dat"));
    EXPECT_FALSE(damaged.sound());
    EXPECT_EQ(damaged.records, 3u);
    ASSERT_EQ(damaged.damaged.size(), 1u);
    EXPECT_EQ(damaged.damaged.front().name, "sub\\b.txt");
    EXPECT_TRUE(damaged.damaged.front().reason.starts_with("zlib returned"))
        << damaged.damaged.front().reason;
    EXPECT_TRUE(damaged.brokenOff.empty());

    // Cut in the middle of the last record.
    writeFile(tmp / "cut.dat", good.substr(0, good.size() - 4));
    const ArchiveCheck cut = TJvZlibMultiple().VerifyFile(programPath(tmp / "cut.dat"));
    EXPECT_FALSE(cut.sound());
    EXPECT_EQ(cut.brokenOff, "Stream read error");
    EXPECT_EQ(cut.records, 2u);
    // Nothing was written anywhere.
    EXPECT_EQ(namesIn(tmp.path()),
              (std::vector<std::string>{"cut.dat", "flipped.dat", "good.dat"}));
}

TEST(ArchiveSafety, AnArchiveInsideThePackedFolderIsNotPackedIntoItself) {
    TempDir tmp;
    writeFile(tmp / "src/data", noise(100000));
    TJvZlibMultiple codec;
    const std::string archive = programPath(tmp / "src/backup.dat");
    codec.CompressDirectory(programPath(tmp / "src"), true, archive);
    codec.CompressDirectory(programPath(tmp / "src"), true, archive);
    std::vector<std::string> stored;
    codec.ListStoredFiles(archive, stored);
    EXPECT_EQ(stored, std::vector<std::string>{"data"});
}

TEST(ArchiveSafety, AnArchiveThatCannotBeCreatedOrOpenedNamesIt) {
    TempDir tmp;
    writeFile(tmp / "src/a", "a");
    TJvZlibMultiple codec;
    const std::string archive = programPath(tmp / "no-such-folder/a.dat");
    EXPECT_EQ(errorOf([&] { codec.CompressDirectory(programPath(tmp / "src"), true, archive); }),
              "Cannot create file \"" + archive + "\". " + missingPathText());
    EXPECT_EQ(errorOf([&] { codec.DecompressFile(archive, programPath(tmp / "out"), true, true); }),
              "Cannot open file \"" + archive + "\". " + missingPathText());
    const std::string missing = programPath(tmp / "missing.dat");
    std::vector<std::string> list;
    EXPECT_EQ(errorOf([&] { codec.ListStoredFiles(missing, list); }),
              "Cannot open file \"" + missing + "\". " + missingFileText());
}

TEST(ArchiveSafety, AnInMemoryArchiveThatCannotGrowFailsWithTheMemoryText) {
    TempDir tmp;
    writeFile(tmp / "src/a", noise(100000));
    MemoryStream stream;
    stream.setCapacityLimit(50000);
    EXPECT_EQ(errorOf([&] {
                  TJvZlibMultiple().CompressDirectory(programPath(tmp / "src"), true, stream);
              }),
              "Out of memory while expanding memory stream");
}

TEST(ArchiveSafety, NamesThatLeaveTheTargetAreRefusedBeforeAnythingIsWritten) {
    const std::vector<std::pair<std::string, std::string>> unsafe = {
        {"..\\", "escaped"},  {"sub\\..\\..\\", "escaped"},
        {"", "..\\escaped"},  {"\\abs\\", "escaped"},
        {"/abs/", "escaped"}, {"", "/escaped"},
        {"C:\\", "escaped"},  {"c:", "escaped"},
        {"", "C:escaped"},    {"sub/../../", "escaped"},
        {".. \\", "escaped"}, {"sub\\", ".."},
        {"sub\\", "c:"},
    };
    for (const auto& [dir, name] : unsafe) {
        SCOPED_TRACE(dir + name);
        TempDir tmp;
        fs::create_directories(tmp / "target");
        MemoryStream stream(record("", "fine", "ok") + record(dir, name, "evil") +
                            record("", "later", "no"));
        TJvZlibMultiple codec;
        std::string shown = dir;
        if (!shown.empty() && shown.back() != '\\' && shown.back() != '/') {
            shown += '\\';
        }
        EXPECT_EQ(errorOf([&] {
                      codec.DecompressStream(stream, programPath(tmp / "target/inner"), true, true);
                  }),
                  "Refusing to unpack \"" + shown + name +
                      "\": the name points outside the target directory");
        EXPECT_EQ(filesBelow(tmp.path()),
                  (std::map<std::string, std::string>{{"target/inner/fine", "ok"}}));
    }

    TempDir tmp;
    MemoryStream fine(record("a..b\\.x\\", "..name", "1"));
    TJvZlibMultiple codec;
    codec.DecompressStream(fine, programPath(tmp / "out"), true, true);
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{"a..b/.x/..name", "1"}}));
}

// A record that would pass for the program's own work (a staging marker
// naming the user's folder, a restore's journal) is never written: the next
// run's recovery would act on it.
TEST(ArchiveSafety, TheProgramsOwnNamesNeverComeOutOfAnArchive) {
    const std::vector<std::pair<std::string, std::string>> reserved = {
        {"", ".vellarion-staging-999999-abc-0"},
        {"", ".vellarion-restore-1-2-3.journal"},
        {"sub\\", ".vellarion-1-0.tmp"},
        {".vellarion-unpack-7-1-0\\", "prefs.js"},
        {"sub\\.VELLARION-staging-1\\deeper\\", "file"},
        {"", ".vellarion-keys"}, // a key belongs only in an encrypted archive
    };
    TempDir tmp;
    std::string archive = record("", "fine", "ok");
    for (const auto& [dir, name] : reserved) {
        archive += record(dir, name, "mine");
    }
    archive += record("", "later", "yes");
    writeFile(tmp / "a.dat", archive);

    TJvZlibMultiple codec;
    std::vector<std::string> skipped;
    codec.OnFileSkip = [&](TJvZlibMultiple&, const std::string& file, const std::string&,
                           const std::string&) { skipped.push_back(file); };
    EXPECT_EQ(
        codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "out"), true, true), 2u);
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{"fine", "ok"}, {"later", "yes"}}));
    EXPECT_EQ(skipped.size(), reserved.size() - 1); // the key record is read, never written

    // A listing and a check name each of them.
    std::vector<std::string> refused;
    codec.forEachStoredEntry(programPath(tmp / "a.dat"), [&](const StoredEntry& entry) {
        if (!entry.refused.empty()) {
            refused.push_back(entry.name);
        }
    });
    EXPECT_EQ(refused.size(), reserved.size());
    const ArchiveCheck check = codec.VerifyFile(programPath(tmp / "a.dat"));
    EXPECT_EQ(check.records, reserved.size() + 2);
    ASSERT_EQ(check.damaged.size(), reserved.size());
    EXPECT_EQ(check.damaged.back().reason,
              "a key record, which belongs only in an encrypted archive");
    EXPECT_EQ(check.damaged.front().reason,
              "a name this program keeps for its own work: never unpacked");

    // Nor are such names packed: they are another run's work, no data.
    writeFile(tmp / "tree/prefs.js", "p");
    writeFile(tmp / "tree/.vellarion-staging-1-2-3", "folder");
    writeFile(tmp / "tree/sub/.vellarion-unpack-4-5-6/x", "x");
    codec.CompressDirectory(programPath(tmp / "tree"), true, programPath(tmp / "b.dat"));
    EXPECT_EQ(storedNames(tmp / "b.dat"), (std::set<std::string>{"prefs.js"}));
}

TEST(ArchiveSafety, DamagedArchivesEndWithAReadErrorAndNoCrash) {
    TJvZlibMultiple codec;
    const auto unpack = [&](const std::string& bytes) {
        TempDir tmp;
        MemoryStream stream(bytes);
        const std::string error =
            errorOf([&] { codec.DecompressStream(stream, programPath(tmp / "out"), true, true); });
        EXPECT_FALSE(fs::exists(tmp / "out/a")) << "a partial file was left behind";
        return error;
    };
    const auto list = [&](const std::string& bytes) {
        MemoryStream stream(bytes);
        std::vector<std::string> entries;
        return errorOf([&] { codec.ListStoredFiles(stream, entries); });
    };
    for (std::size_t length = 1; length < workedExample().size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_EQ(unpack(workedExample().substr(0, length)), "Stream read error");
        EXPECT_EQ(list(workedExample().substr(0, length)), "Stream read error");
    }
    const std::string data = zlibStream("abc");
    for (std::int32_t size : {0, -1, -2147483647 - 1, 2147483647, 12}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(unpack(rawRecord("", "a", 3, size, data)), "Stream read error");
        EXPECT_EQ(list(rawRecord("", "a", 3, size, data)), "Stream read error");
    }
    std::string corrupt = zlibStream(noise(5000));
    corrupt[corrupt.size() / 2] ^= 0x55;
    EXPECT_EQ(unpack(rawRecord("", "a", 5000, static_cast<std::int32_t>(corrupt.size()), corrupt)),
              "zlib returned: data error");
    // The size field stops short of the zlib stream's end.
    const std::string whole = zlibStream(noise(5000));
    EXPECT_EQ(unpack(rawRecord("", "a", 5000, 100, whole.substr(0, 100))), "Stream read error");
}

TEST(ArchiveSafety, CompressedDataBeyondTheSizeFieldEndsPackingWithAClearError) {
    MemoryStream stream;
    ArchiveWriter writer(stream, 1000);
    writer.beginRecord("", "fits", "C:\\fits");
    writer.appendData(std::span(reinterpret_cast<const unsigned char*>(noise(1000).data()), 1000));
    writer.endRecord(1000);
    writer.beginRecord("", "huge", "C:\\huge");
    const std::string part = noise(600);
    const std::span bytes(reinterpret_cast<const unsigned char*>(part.data()), part.size());
    writer.appendData(bytes);
    EXPECT_EQ(errorOf([&] { writer.appendData(bytes); }),
              "Cannot store file \"C:\\huge\": its compressed data exceeds 4294967295 bytes");
    EXPECT_EQ(ArchiveWriter::maxCompressedSize, 4294967295u);
}

} // namespace
} // namespace vellarion::test
