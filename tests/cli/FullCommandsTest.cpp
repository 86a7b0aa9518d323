// vellarion-cli's full-backup and full-restore on sample Windows prefixes,
// run as a user runs them.
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

struct Member {
    const char* id;
    const char* folder; // below the roaming application data
    const char* archive;
    int windowsVersion;
};

TEST(CliFull, BacksUpAndRestoresTheWholeDataRoot) {
    const Member members[] = {
        {"firefox", "Mozilla\\Firefox", "fbackup_firefox.dat", 6},
        {"flock", "Flock\\Browser", "fbackup_flock.dat", 5},
    };
    for (const Member& member : members) {
        SCOPED_TRACE(member.id);
        SamplePrefixFixture prefix({.windowsVersion = member.windowsVersion});
        TempDir backups;
        const std::string rootText = prefix.sample().roaming + "\\" + member.folder;
        std::string below = rootText.substr(3); // after "C:\"
        std::replace(below.begin(), below.end(), '\\', '/');
        const fs::path root = prefix.onDriveC(below);
        const auto saved = readTree(root);
        ASSERT_FALSE(saved.empty());
        const std::string env = "--prefix=" + s(prefix.sample().prefix);

        const Result packed = run({"full-backup", member.id, env, "--to", s(backups.path())});
        ASSERT_EQ(packed.exitCode, 0) << packed.err;
        const fs::path archive = backups / member.archive;
        ASSERT_TRUE(fs::is_regular_file(archive));
        // Both named as this system names them.
        EXPECT_EQ(packed.out, "Packed " + s(root) + " into " + s(archive) + " (" +
                                  std::to_string(fs::file_size(archive)) + " bytes)\n");
        // Said once: the archive is plain.
        EXPECT_EQ(packed.err, "vellarion-cli: warning: the archive holds passwords and cookies "
                              "readable by anyone who gets the file (--encrypt protects them)\n");

        // The data changes; the restore puts back what was saved and keeps
        // what came since.
        writeFile(root / "profiles.ini", "changed");
        writeFile(root / "added.txt", "kept");
        const Result unpacked = run({"full-restore", member.id, env, "--from", s(backups.path())});
        ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
        EXPECT_EQ(unpacked.out, "Unpacked " + s(archive) + " (" +
                                    std::to_string(fs::file_size(archive)) + " bytes) into " +
                                    s(root) + "\n");
        auto expected = saved;
        expected["added.txt"] = "kept";
        EXPECT_EQ(readTree(root), expected);
    }
}

TEST(CliFull, RefusalsExitOneWithTheWindowsTexts) {
    SamplePrefixFixture prefix({.browsers = {Browser::Flock}});
    TempDir backups;
    const std::string env = "--prefix=" + s(prefix.sample().prefix);
    const std::string location = s(backups.path());
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"full-backup", "flock", env, "--to", "Расположение резервной копии:"},
         "Please Select Backup Location"},
        {{"full-restore", "flock", env, "--from", location},
         "Backup File \"fbackup_flock.dat\" Not Found"},
        // Not found here: the browsers whose data is.
        {{"full-backup", "firefox", env, "--to", location},
         "Settings file not found. The browsers whose data is found here: flock (see "
         "vellarion-cli browsers)."},
    };
    for (const auto& c : cases) {
        const Result r = run(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.error;
        EXPECT_EQ(r.err, "vellarion-cli: " + c.error + "\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_TRUE(fs::is_empty(backups.path()));
}

TEST(CliFull, UnknownBrowsersAndMissingLocationsAreUsageErrors) {
    const Result unknown = run({"full-backup", "netscape", "--to", "/tmp"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("netscape not in {ie,firefox,"), std::string::npos) << unknown.err;
    const Result noLocation = run({"full-restore", "firefox"});
    EXPECT_EQ(noLocation.exitCode, 2);
    EXPECT_NE(noLocation.err.find("--from"), std::string::npos) << noLocation.err;
}

TEST(CliFull, ShowsTheFileBeingPackedOnATerminal) {
    SamplePrefixFixture prefix({.browsers = {Browser::Firefox}});
    TempDir backups;
    const Result r = Cli({"full-backup", "firefox", "--prefix", s(prefix.sample().prefix), "--to",
                          s(backups.path())},
                         true)
                         .wait();
    EXPECT_EQ(r.exitCode, 0);
    // Files are named below the data root (the first at once, later ones at
    // most ten times a second), and the line is cleared before the end.
    EXPECT_TRUE(r.err.find("profiles.ini") != std::string::npos ||
                r.err.find("Profiles\\") != std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Mozilla\\Firefox"), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.ends_with("\r\033[Kvellarion-cli: warning: the archive holds passwords and "
                                "cookies readable by anyone who gets the file (--encrypt protects "
                                "them)\r\n"))
        << r.err;
    EXPECT_TRUE(r.out.starts_with("Packed ")) << r.out;
}

TEST(CliFull, AnInterruptedBackupKeepsThePreviousArchive) {
    SamplePrefixFixture prefix({.browsers = {Browser::Firefox}});
    writeFile(prefix.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox/big.sqlite"),
              incompressible(32 * 1024 * 1024));
    TempDir backups;
    writeFile(backups / "fbackup_firefox.dat", "previous");
    Cli cli({"full-backup", "firefox", "--prefix", s(prefix.sample().prefix), "--to",
             s(backups.path()), "--replace"});
    interruptOncePacking(cli, backups.path());
    const Result r = cli.wait();
    EXPECT_EQ(r.exitCode, 130);
    EXPECT_EQ(r.err, "vellarion-cli: interrupted\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(backups / "fbackup_firefox.dat"), "previous");
    EXPECT_EQ(readTree(backups.path()).size(), 1u);
}

// The state letter of the restore journal in `folder` ('P' prepared, 'C'
// committed); 0 when there is none.
char journalState(const fs::path& folder) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".vellarion-restore-") && name.ends_with(".journal")) {
            const std::string text = readFile(entry.path());
            return text.size() > 6 ? text[6] : 0;
        }
    }
    return 0;
}

// Ctrl-C once the files are swapped in: nothing can be undone then, so the
// restore finishes its clean-up and says it is done.
TEST(CliFull, AStopAfterTheSwapIsNoStop) {
    SamplePrefixFixture prefix({.browsers = {Browser::Firefox}});
    const fs::path root = prefix.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox");
    // Enough files that clearing away the replaced ones takes a while.
    for (int i = 0; i < 3000; ++i) {
        writeFile(root / "Profiles/abcd1234.default/cache" / std::to_string(i), "old");
    }
    TempDir backups;
    const std::vector<std::string> backup{
        "full-backup", "firefox", "--prefix", s(prefix.sample().prefix), "--to", s(backups.path())};
    ASSERT_EQ(run(backup).exitCode, 0);
    for (int i = 0; i < 3000; ++i) {
        writeFile(root / "Profiles/abcd1234.default/cache" / std::to_string(i), "changed");
    }
    // The child is held still while its journal is read: the stop lands
    // exactly while the journal says the swap is complete.
    bool caught = false;
    for (int attempt = 0; attempt < 20 && !caught; ++attempt) {
        Cli cli({"full-restore", "firefox", "--prefix", s(prefix.sample().prefix), "--from",
                 s(backups.path())});
        const auto running = [&cli] {
            siginfo_t info{};
            return ::waitid(P_PID, static_cast<id_t>(cli.pid()), &info,
                            WEXITED | WNOHANG | WNOWAIT) == 0 &&
                   info.si_pid == 0;
        };
        while (!caught && running()) {
            if (journalState(root) != 'C') {
                continue;
            }
            ::kill(cli.pid(), SIGSTOP);
            if (journalState(root) == 'C') {
                ::kill(cli.pid(), SIGINT);
                caught = true;
            }
            ::kill(cli.pid(), SIGCONT);
        }
        const Result done = cli.wait();
        if (!caught) {
            continue;
        }
        EXPECT_EQ(done.exitCode, 0) << done.err;
        EXPECT_NE(done.err.find("The stop came when the work was already done"),
                  std::string::npos)
            << done.err;
        EXPECT_EQ(readFile(root / "Profiles/abcd1234.default/cache/2999"), "old");
        EXPECT_EQ(journalState(root), 0);
        for (const std::string& name : namesIn(root / "Profiles/abcd1234.default/cache")) {
            EXPECT_FALSE(name.starts_with(".vellarion-")) << name;
        }
    }
    EXPECT_TRUE(caught) << "the restore's committed journal was never seen";
}

} // namespace
} // namespace vellarion::test
