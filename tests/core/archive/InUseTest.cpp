// Packing a folder another program keeps writing: a file that changed while
// it was read is read again, and one that never settles is dropped and named,
// never stored as a mix of two states; a file chosen away or replaced by a
// copy is packed under its own name.
#include "ArchiveTestSupport.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/snapshot/Snapshot.h"

#include <gtest/gtest.h>
#include <mutex>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

class PackingInUse : public ::testing::Test {
protected:
    PackingInUse() {
        fs::create_directories(src);
        codec.SourceInUse = true;
        codec.OnFileSkip = [this](TJvZlibMultiple&, const std::string& file,
                                  const std::string& type, const std::string&) {
            skipped.push_back(type + " " + file.substr(file.rfind('\\') + 1));
        };
        codec.OnSourceRead = [this](const fs::path& file, int attempt) {
            {
                std::lock_guard lock(readsMutex); // asked on the packer's threads
                ++reads[file.filename().string()];
            }
            if (const auto change = changes.find(file.filename().string());
                change != changes.end()) {
                change->second(file, attempt);
            }
        };
    }

    // Packs src and unpacks the archive: what a restore would find.
    std::map<std::string, std::string> packed() {
        const std::string archive = programPath(tmp / "a.dat");
        codec.CompressDirectory(programPath(src), true, archive);
        TJvZlibMultiple reader;
        fs::remove_all(tmp / "out");
        reader.DecompressFile(archive, programPath(tmp / "out"), true, true);
        return filesBelow(tmp / "out");
    }

    TempDir tmp;
    fs::path src = tmp / "src";
    TJvZlibMultiple codec;
    std::vector<std::string> skipped;
    std::mutex readsMutex;
    std::map<std::string, int> reads; // how often each file was read, by name
    // What a writer does to a file once it was read (by its name).
    std::map<std::string, std::function<void(const fs::path&, int)>> changes;
};

TEST_F(PackingInUse, AFileThatChangedWhileItWasReadIsReadAgainUntilItSettles) {
    constexpr std::size_t block = TJvZlibMultiple::kRereadLimit / 2;
    // Sizes a file is read at once, or in its two first blocks.
    for (const std::size_t size : {std::size_t{10}, block - 1, block, block + 1,
                                   TJvZlibMultiple::kRereadLimit - 1}) {
        SCOPED_TRACE(size);
        fs::remove_all(src);
        fs::create_directories(src);
        reads.clear();
        writeFile(src / "prefs.js", std::string(size, 'a'));
        writeFile(src / "still.txt", "still");
        changes["prefs.js"] = [size](const fs::path& file, int attempt) {
            if (attempt == 1) {
                // Rewritten in place, as some writers save: one state, then
                // the next.
                writeFile(file, std::string(size, 'b'));
            }
        };
        const auto files = packed();
        ASSERT_TRUE(files.contains("prefs.js")) << ::testing::PrintToString(files);
        EXPECT_EQ(files.at("prefs.js"), summary(std::string(size, 'b')));
        EXPECT_EQ(files.at("still.txt"), "still");
        EXPECT_EQ(reads, (std::map<std::string, int>{{"prefs.js", 2}, {"still.txt", 1}}));
        EXPECT_EQ(skipped, std::vector<std::string>{});
    }
}

TEST_F(PackingInUse, AFileThatNeverSettlesOrChangesPastWhatCanBeReadAgainIsDroppedAndNamed) {
    struct Case {
        const char* what;
        std::size_t size;
        int readsOfIt;
    };
    const Case cases[] = {
        {"changes on every try", 100, Snapshot::kTries},
        {"as large as what is read again: its blocks went to the archive",
         TJvZlibMultiple::kRereadLimit, 1},
        {"larger", TJvZlibMultiple::kRereadLimit * 2 + 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(src);
        fs::create_directories(src);
        skipped.clear();
        reads.clear();
        writeFile(src / "a-before.txt", "before");
        writeFile(src / "session", std::string(c.size, 's'));
        writeFile(src / "z-after.txt", "after");
        changes["session"] = [](const fs::path& file, int attempt) {
            writeFile(file, std::string(100 + attempt, 'x'));
        };
        const auto files = packed();
        EXPECT_EQ(files, (std::map<std::string, std::string>{{"a-before.txt", "before"},
                                                             {"z-after.txt", "after"}}))
            << "nothing torn stored, the records around it whole";
        EXPECT_EQ(skipped, std::vector<std::string>{"FileKeptChanging session"});
        EXPECT_EQ(reads["session"], c.readsOfIt);
    }
}

TEST_F(PackingInUse, AChosenCopyIsPackedUnderItsOwnNameAndWhatIsChosenAwayIsLeftOutQuietly) {
    writeFile(src / "places.sqlite", "live bytes");
    writeFile(src / "places.sqlite-shm", "index");
    writeFile(src / "notes.txt", "notes");
    writeFile(tmp / "copy.sqlite", "snapshot bytes");
    codec.OnChooseSource = [&](const fs::path& file) -> std::optional<fs::path> {
        const std::string name = file.filename().string();
        if (name == "places.sqlite") {
            return tmp / "copy.sqlite";
        }
        if (name == "places.sqlite-shm") {
            return std::nullopt;
        }
        return file;
    };
    // A copy of the job's own is nobody else's to change: it is not watched.
    changes["copy.sqlite"] = [](const fs::path& file, int) { writeFile(file, "changed"); };
    EXPECT_EQ(packed(), (std::map<std::string, std::string>{{"places.sqlite", "snapshot bytes"},
                                                            {"notes.txt", "notes"}}));
    EXPECT_EQ(skipped, std::vector<std::string>{});
    EXPECT_EQ(reads, (std::map<std::string, int>{{"notes.txt", 1}}));
}

} // namespace
} // namespace vellarion::test
