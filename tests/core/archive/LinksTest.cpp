// Links both ways, and the privacy of what an unpack makes: a backup never
// reads through a link out of the packed folder, an unpack never writes
// through one, and the files it makes are its owner's alone.
#include "ArchiveTestSupport.h"
#include "FileTree.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> skipTexts(const EventLog& log) {
    std::vector<std::string> texts;
    for (const std::string& line : log.lines) {
        if (line.starts_with("skip ")) {
            texts.push_back(line.substr(line.find(' ', line.find(' ', 5) + 1) + 1));
        }
    }
    return sorted(texts);
}

std::vector<std::string> storedIn(TJvZlibMultiple& codec, const fs::path& archive) {
    std::vector<std::string> stored;
    codec.ListStoredFiles(programPath(archive), stored);
    return sorted(stored);
}

unsigned modeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// A profile kept on another disk (the packed folder is a link) holding a
// link to a file outside it, a link to a folder outside it, a link back to
// itself and a killed browser's lock links.
class PackingLinks : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(tmp / "outside/secret", "not the profile's");
        writeFile(tmp / "disk/profile/prefs.js", "user_pref");
        fs::create_directory_symlink(tmp / "disk/profile", tmp / "profile");
        fs::create_symlink(tmp / "outside/secret", tmp / "disk/profile/stolen");
        fs::create_directory_symlink(tmp / "outside", tmp / "disk/profile/cache");
        fs::create_directory_symlink(tmp / "disk/profile", tmp / "disk/profile/loop");
        fs::create_symlink("host-4242", tmp / "disk/profile/lock");
        fs::create_symlink("host-4242", tmp / "disk/profile/SingletonLock");
        log.attach(codec);
    }
    std::string shown(const std::string& name) const {
        return "Symbolic link \"" + programPath(tmp / "profile") + "/" + name + "\" skipped";
    }

    TempDir tmp;
    TJvZlibMultiple codec;
    EventLog log;
};

TEST_F(PackingLinks, NothingBehindALinkBelowThePackedFolderIsStoredAndEachLinkIsNamed) {
    codec.QuietSkipNames = {"lock", "SingletonLock"};
    codec.CompressDirectory(programPath(tmp / "profile"), true, programPath(tmp / "a.dat"));
    EXPECT_EQ(storedIn(codec, tmp / "a.dat"), std::vector<std::string>{"prefs.js"});
    EXPECT_EQ(skipTexts(log), sorted({shown("cache"), shown("loop"), shown("stolen")}));
}

TEST_F(PackingLinks, ALinkedFolderTheJobChoosesIsPackedAsAFolderButNeverRoundInACircle) {
    codec.QuietSkipNames = {"lock", "SingletonLock"};
    std::vector<std::string> asked;
    codec.OnFollowLink = [&](const std::string& path) {
        asked.push_back(path);
        return true;
    };
    codec.CompressDirectory(programPath(tmp / "profile"), true, programPath(tmp / "a.dat"));
    EXPECT_EQ(storedIn(codec, tmp / "a.dat"),
              (std::vector<std::string>{"cache\\secret", "prefs.js"}));
    // A link to a file is never followed; the loop is not even offered.
    EXPECT_EQ(asked, std::vector<std::string>{programPath(tmp / "profile") + "\\cache"});
    EXPECT_EQ(skipTexts(log), sorted({shown("loop"), shown("stolen")}));
}

TEST_F(PackingLinks, LockLinksAreNamedUnlessTheJobSaysTheyAreNoData) {
    codec.CompressDirectory(programPath(tmp / "profile"), true, programPath(tmp / "a.dat"));
    EXPECT_EQ(skipTexts(log), sorted({shown("cache"), shown("loop"), shown("stolen"), shown("lock"),
                                      shown("SingletonLock")}));
}

class UnpackLinks : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(tmp / "outside/victim", "the user's other file");
        fs::create_directories(tmp / "out");
    }
    std::size_t unpack(const std::string& archive) {
        MemoryStream stream(archive);
        return codec.DecompressStream(stream, programPath(tmp / "out"), true, true);
    }

    TempDir tmp;
    TJvZlibMultiple codec;
};

TEST_F(UnpackLinks, ALinkAtAFileNameIsReplacedByTheFileNeverWrittenThrough) {
    fs::create_symlink(tmp / "outside/victim", tmp / "out/prefs.js");
    fs::create_symlink(tmp / "outside/created", tmp / "out/dangling");
    EXPECT_EQ(unpack(record("", "prefs.js", "restored") + record("", "dangling", "new")), 2u);
    EXPECT_EQ(readFile(tmp / "outside/victim"), "the user's other file");
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "outside/created")));
    EXPECT_FALSE(fs::is_symlink(tmp / "out/prefs.js"));
    EXPECT_FALSE(fs::is_symlink(tmp / "out/dangling"));
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{"dangling", "new"}, {"prefs.js", "restored"}}));
}

TEST_F(UnpackLinks, ALinkOrFileWhereAFolderMustBeIsRefusedBeforeTheRecordIsWritten) {
    const std::string out = programPath(tmp / "out");
    fs::create_directory_symlink(tmp / "outside", tmp / "out/sub");
    EXPECT_EQ(errorOf([&] { unpack(record("", "first", "1") + record("sub\\", "victim", "x")); }),
              "Refusing to unpack \"sub\\victim\": \"" + out +
                  "/sub\" is a symbolic link, not a folder");
    EXPECT_EQ(readFile(tmp / "outside/victim"), "the user's other file");
    EXPECT_EQ(filesBelow(tmp / "out"), (std::map<std::string, std::string>{{"first", "1"}}));
    fs::remove(tmp / "out/sub");

    writeFile(tmp / "out/file", "a file");
    EXPECT_EQ(errorOf([&] { unpack(record("file\\deeper\\", "x", "x")); }),
              "Refusing to unpack \"file\\deeper\\x\": \"" + out +
                  "/file\" is a file, not a folder");
    fs::create_directories(tmp / "out/folder");
    EXPECT_EQ(errorOf([&] { unpack(record("", "folder", "x")); }),
              "Refusing to unpack \"folder\": \"" + out + "/folder\" is a folder");
    // Nothing half-made was left beside the names.
    EXPECT_EQ(filesBelow(tmp / "out"),
              (std::map<std::string, std::string>{{"file", "a file"}, {"first", "1"}}));
}

TEST_F(UnpackLinks, AnUnpackSaysHowManyFilesItWrote) {
    EXPECT_EQ(unpack(""), 0u);
    EXPECT_EQ(unpack(record("", "a", "1") + record("sub\\", "b", "2")), 2u);
    writeFile(tmp / "out/a", "kept");
    MemoryStream stream(record("", "a", "1") + record("", "c", "3"));
    EXPECT_EQ(codec.DecompressStream(stream, programPath(tmp / "out"), false, true), 1u);
    EXPECT_EQ(readFile(tmp / "out/a"), "kept");
}

// What an unpack makes holds passwords and cookies until the restore gives
// it its final place and mode.
TEST(ArchivePrivacy, UnpackedFilesAndFoldersAndArchivesAreTheOwnersAlone) {
    const mode_t previous = ::umask(022);
    TempDir tmp;
    writeFile(tmp / "src/key4.db", "keys");
    writeFile(tmp / "src/sub/cookies.sqlite", "cookies");
    TJvZlibMultiple codec;
    codec.CompressDirectory(programPath(tmp / "src"), true, programPath(tmp / "a.dat"));
    writeFile(tmp / "existing/key4.db", "old");
    fs::permissions(tmp / "existing/key4.db", fs::perms(0644));
    codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "new/unpack"), true, true);
    codec.DecompressFile(programPath(tmp / "a.dat"), programPath(tmp / "existing"), true, true);
    ::umask(previous);

    EXPECT_EQ(modeOf(tmp / "a.dat"), 0600u);
    EXPECT_EQ(modeOf(tmp / "new"), 0700u);
    EXPECT_EQ(modeOf(tmp / "new/unpack"), 0700u);
    EXPECT_EQ(modeOf(tmp / "new/unpack/key4.db"), 0600u);
    EXPECT_EQ(modeOf(tmp / "new/unpack/sub"), 0700u);
    EXPECT_EQ(modeOf(tmp / "new/unpack/sub/cookies.sqlite"), 0600u);
    EXPECT_EQ(modeOf(tmp / "existing/key4.db"), 0600u);
    EXPECT_EQ(readFile(tmp / "existing/key4.db"), "keys");
}

} // namespace
} // namespace vellarion::test
