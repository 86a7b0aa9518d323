// A remote backup location through the real rclone, on a remote of its
// "local" kind (a folder of this machine, named in a configuration of the
// test's own): what is sent, when, and what stays on the remote however a
// send ends. The servers of real remotes are the command line's tests.
#include "core/remote/RemoteFolder.h"

#include "FileTree.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/PathMapper.h"
#include "core/services/RunToken.h"
#include "core/services/ServicesFactory.h"
#include "core/services/platform/File.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string s(const fs::path& p) {
    return pathToUtf8(p);
}

// An empty value takes the variable away.
void setVariable(const char* name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name, value.c_str());
#else
    if (value.empty()) {
        ::unsetenv(name);
    } else {
        ::setenv(name, value.c_str(), 1);
    }
#endif
}

void writeArchive(const fs::path& path, const std::string& content) {
    TempDir tree;
    test::writeFile(tree / "prefs.js", content);
    TJvZlibMultiple codec;
    codec.CompressDirectory(s(tree.path()), true, s(path));
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(s(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Recorder : public TransferReport {
public:
    void transferStarted(const std::string& name, bool sending) override {
        started.push_back((sending ? "send " : "fetch ") + name);
    }
    void transferProgress(std::uint64_t bytes, std::uint64_t total) override {
        ++progress;
        lastBytes = bytes;
        lastTotal = total;
    }
    bool stopRequested() const override { return stopAtProgress && progress > 0; }

    std::vector<std::string> started;
    int progress = 0;
    std::uint64_t lastBytes = 0;
    std::uint64_t lastTotal = 0;
    bool stopAtProgress = false;
};

class RemoteFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Rclone().available()) {
#ifdef _WIN32
            GTEST_SKIP() << "no rclone.exe here";
#else
            FAIL() << "rclone is missing: scripts/setup installs it";
#endif
        }
        fs::create_directories(remote);
        fs::create_directories(temporary);
        test::writeFile(work / "rclone.conf", "[here]\ntype = local\n");
        for (const char* name : {"RCLONE_CONFIG", "TMPDIR", "RCLONE_BWLIMIT"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value != nullptr ? value : "");
        }
        setVariable("RCLONE_CONFIG", s(work / "rclone.conf"));
        // The private folders go where the test sees them.
        setVariable("TMPDIR", s(temporary));
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            setVariable(name.c_str(), value);
        }
    }

    RemotePath where() const {
        return parseRemotePath("rclone:here:" + s(remote));
    }

    TempDir work;
    fs::path remote = work / "remote";
    fs::path temporary = work / "tmp";
    std::unique_ptr<SystemServices> services =
        makeSystemServices({.native = true}, ProcessEnvironment{.home = s(work.path())});
    std::vector<std::pair<std::string, std::string>> saved;
    Rclone rclone;
    Recorder report;
    ArchivePassword noPassword = [](const std::string&) { return std::optional<Secret>(); };
};

TEST_F(RemoteFolderTest, ThePrivateFolderHoldsStandInsOfTheRemotesArchivesOnly) {
    writeArchive(remote / "default.dat", "old");
    test::writeFile(remote / "notes.txt", "not an archive");
    test::writeFile(remote / ".default.dat.1.uploading", "half");
    fs::create_directories(remote / "sub.dat");
    fs::path folder;
    {
        RemoteFolder there(rclone, where(), report);
        folder = pathFromUtf8(there.location());
        EXPECT_EQ(folder.parent_path(), temporary);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"default.dat"});
        EXPECT_EQ(fs::file_size(folder / "default.dat"), 0u);
#ifndef _WIN32
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
#endif
        EXPECT_EQ(there.shown("\"" + s(folder / "default.dat") + "\" exists already"),
                  "\"rclone:here:" + s(remote) + "/default.dat\" exists already");

        const std::string fetched = there.fetch("default.dat");
        EXPECT_EQ(test::readFile(pathFromUtf8(fetched)), test::readFile(remote / "default.dat"));
#ifndef _WIN32
        EXPECT_EQ(fs::status(pathFromUtf8(fetched)).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
#endif
        EXPECT_EQ(report.started, std::vector<std::string>{"fetch default.dat"});
        EXPECT_THROW(there.fetch("other.dat"), Error);
    }
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(RemoteFolderTest, ABackupIsSentUnderItsNameOnlyOnceItsCopyIsChecked) {
    writeArchive(remote / "default.dat", "old");
    RemoteFolder there(rclone, where(), report);
    const fs::path archive = pathFromUtf8(there.location()) / "default.dat";
    writeArchive(archive, test::noise(300000, 1));
    const RemoteFolder::Sent sent = there.send(*services, {s(archive)}, 0, noPassword);
    EXPECT_EQ(sent.archives, std::vector<std::string>{"rclone:here:" + s(remote) + "/default.dat"});
    EXPECT_EQ(test::readFile(remote / "default.dat"), test::readFile(archive));
    EXPECT_EQ(namesIn(remote), std::vector<std::string>{"default.dat"});
    EXPECT_EQ(report.started, std::vector<std::string>{"send default.dat"});
    EXPECT_EQ(report.lastBytes, fs::file_size(archive));
}

TEST_F(RemoteFolderTest, WhatIsNotSentWholeReplacesNothing) {
    writeArchive(remote / "default.dat", "old");
    const std::string old = test::readFile(remote / "default.dat");
    struct Case {
        const char* what;
        std::function<void(const fs::path& archive)> before;
        std::string says;
    };
    std::vector<Case> cases = {
        {"a damaged archive",
         [](const fs::path& archive) {
             std::string bytes = test::readFile(archive);
             bytes.resize(bytes.size() / 2);
             test::writeFile(archive, bytes);
         },
         "does not read whole"},
        {"a stop while it is sent",
         [this](const fs::path&) {
             setVariable("RCLONE_BWLIMIT", "1M");
             report.stopAtProgress = true;
         },
         "stopped"},
    };
#ifndef _WIN32
    // A copy whose hash differs from the archive's: rclone made to lie.
    cases.push_back({"a copy that differs",
                     [this](const fs::path&) {
                         test::writeFile(work / "lying-rclone",
                                         "#!/bin/sh\nif [ \"$1\" = hashsum ]; then echo "
                                         "\"00000000000000000000000000000000  x\"; exit 0; fi\n"
                                         "exec rclone \"$@\"\n");
                         fs::permissions(work / "lying-rclone", fs::perms::owner_all);
                         rclone = Rclone(work / "lying-rclone");
                     },
                     "differs from the archive"});
#endif
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        report = Recorder();
        rclone = Rclone();
        setVariable("RCLONE_BWLIMIT", "");
        RemoteFolder there(rclone, where(), report);
        const fs::path archive = pathFromUtf8(there.location()) / "default.dat";
        writeArchive(archive, test::noise(3000000, 2));
        c.before(archive);
        try {
            there.send(*services, {s(archive)}, 0, noPassword);
            ADD_FAILURE() << "sent";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
        EXPECT_EQ(namesIn(remote), std::vector<std::string>{"default.dat"});
        EXPECT_EQ(test::readFile(remote / "default.dat"), old);
    }
}

TEST_F(RemoteFolderTest, KeptVersionsOnTheRemoteByTheRulesOfADisk) {
    const char* stamps[] = {"2026-12-01 100000", "2026-12-02 100000", "2026-12-03 100000",
                            "2026-12-04 100000"};
    for (const char* stamp : stamps) {
        writeArchive(remote / stampedName("default.dat", stamp), stamp);
    }
    writeArchive(remote / "other 2026-12-01 100000.dat", "another profile's");
    // A version stamped later by a wrong clock: named, left as it is.
    test::writeFile(remote / "default 2099-01-01 000000.dat", "from the future");
    RemoteFolder there(rclone, where(), report);
    const fs::path archive = pathFromUtf8(there.location()) / "default 2026-12-05 100000.dat";
    writeArchive(archive, "new");
    const RemoteFolder::Sent sent = there.send(*services, {s(archive)}, 3, noPassword);
    const std::string prefix = "rclone:here:" + s(remote) + "/";
    EXPECT_EQ(sent.retention.deleted,
              (std::vector<std::string>{prefix + "default 2026-12-03 100000.dat",
                                        prefix + "default 2026-12-02 100000.dat",
                                        prefix + "default 2026-12-01 100000.dat"}));
    EXPECT_EQ(
        namesIn(remote),
        (std::vector<std::string>{"default 2026-12-04 100000.dat", "default 2026-12-05 100000.dat",
                                  "default 2099-01-01 000000.dat", "other 2026-12-01 100000.dat"}));
    EXPECT_EQ(sent.retention.future,
              std::vector<std::string>{prefix + "default 2099-01-01 000000.dat"});
    EXPECT_EQ(report.started, std::vector<std::string>{"send default 2026-12-05 100000.dat"});
}

TEST_F(RemoteFolderTest, WhatDeadRunsLeftIsRemoved) {
    // A half-sent archive a day old goes; one of a run that may still send stays.
    const std::string stale = RemoteFolder::uploadName("default.dat", 1000000000, "a");
    const std::string recent =
        RemoteFolder::uploadName("default.dat",
                                 std::chrono::duration_cast<std::chrono::seconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                         .count() -
                                     60,
                                 "b");
    test::writeFile(remote / stale, "half");
    test::writeFile(remote / recent, "half");
    // A private folder of a process that is no more goes; this one's stays,
    // and so does one no run of this user made, whatever its name says.
    const fs::path dead = temporary / ("vellarion-remote-" + newRunToken(999999999));
    const fs::path alive = temporary / ("vellarion-remote-" + newRunToken());
    const fs::path foreign = temporary / "vellarion-remote-999999999-0badf00d";
    for (const fs::path& folder : {dead, alive, foreign}) {
        fs::create_directories(folder / "inside");
    }
    RemoteFolder there(rclone, where(), report);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(alive));
    EXPECT_TRUE(fs::exists(foreign));
    fs::remove_all(alive);
    fs::remove_all(foreign);
    const fs::path archive = pathFromUtf8(there.location()) / "default.dat";
    writeArchive(archive, "new");
    there.send(*services, {s(archive)}, 0, noPassword);
    EXPECT_EQ(namesIn(remote), (std::vector<std::string>{recent, "default.dat"}));
}

TEST_F(RemoteFolderTest, NoRcloneOrNoSuchRemoteEndsBeforeAnything) {
    Rclone missing(work / "no-rclone-here");
    try {
        RemoteFolder there(missing, where(), report);
        ADD_FAILURE() << "made";
    } catch (const RemoteError& e) {
        EXPECT_EQ(std::string(e.what()), rcloneMissing());
    }
    try {
        RemoteFolder there(rclone, parseRemotePath("rclone:nowhere:x"), report);
        ADD_FAILURE() << "made";
    } catch (const RemoteError& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("rclone knows no remote \"nowhere\""))
            << e.what();
    }
    EXPECT_TRUE(namesIn(temporary).empty());
}

} // namespace
} // namespace vellarion
