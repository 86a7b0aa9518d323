// Jobs that meet: two jobs on one data folder (the second waits, or refuses
// with --no-wait; a holder killed frees it), and a job waiting for the
// browser to let go of its profile (--wait).
#include "CliRunner.h"
#include "FileTree.h"
#include "HeldLock.h"
#include "TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

class CliJobs : public ::testing::Test {
protected:
    CliJobs() {
        writeFile(profile / "prefs.js", "user_pref(\"a\", 1);\n");
        writeFile(root / "profiles.ini", "[Profile0]\nName=default-release\nIsRelative=1\n"
                                         "Path=k3x9ab12.default-release\nDefault=1\n\n");
    }

    // Enough bytes that packing or unpacking them is caught half-way.
    void makeLarge() { writeFile(profile / "large.bin", incompressible(64 << 20)); }

    std::string busy(const fs::path& folder) const {
        return "Another job of this program is working on the folder " + s(folder);
    }

    UserLocale english{"en_US.UTF-8"};
    TempDir home;
    const fs::path root = home / ".mozilla" / "firefox";
    const fs::path profile = root / "k3x9ab12.default-release";
};

TEST_F(CliJobs, ASecondJobWaitsForABackupRefusesWithNoWaitAndGoesOnOnceTheHolderIsKilled) {
    ASSERT_EQ(run({"full-backup", "firefox", "--to", s(home / "first")}, home.path()).exitCode, 0);
    writeFile(profile / "prefs.js", "user_pref(\"a\", 2);\n");
    makeLarge();

    Cli holder({"full-backup", "firefox", "--to", s(home / "second")}, false, home.path());
    ASSERT_TRUE(waitForEntry(home / "second", ".tmp"));
    ::kill(holder.pid(), SIGSTOP);

    const Result refused =
        run({"full-restore", "firefox", "--from", s(home / "first"), "--no-wait"}, home.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "vellarion-cli: " + busy(root) + ".\n");
    EXPECT_EQ(readFile(profile / "prefs.js"), "user_pref(\"a\", 2);\n");

    // Ctrl-C ends a wait with nothing done.
    Cli stopped({"full-restore", "firefox", "--from", s(home / "first")}, false, home.path());
    ASSERT_TRUE(waitForError(stopped, busy(root) + ": waiting for it to end."));
    ::kill(stopped.pid(), SIGINT);
    EXPECT_EQ(stopped.wait().exitCode, 130);
    EXPECT_EQ(readFile(profile / "prefs.js"), "user_pref(\"a\", 2);\n");

    // A selective backup of a profile of that folder waits, and runs once
    // the holder is gone, even killed.
    Cli waiting({"backup", "firefox", "--to", s(home / "third")}, false, home.path());
    ASSERT_TRUE(waitForError(waiting, busy(root) + ": waiting for it to end."));
    ::kill(holder.pid(), SIGKILL);
    holder.wait();
    const Result done = waiting.wait();
    EXPECT_EQ(done.exitCode, 0) << done.err;
    EXPECT_EQ(done.out, s(home / "third" / "default-release.dat") + "\n");
}

TEST_F(CliJobs, ABackupDuringARestoreRefusesWithNoWaitAndRunsOnceTheRestoreIsKilled) {
    makeLarge();
    ASSERT_EQ(run({"full-backup", "firefox", "--to", s(home / "first")}, home.path()).exitCode, 0);
    writeFile(profile / "prefs.js", "user_pref(\"a\", 2);\n");

    Cli holder({"full-restore", "firefox", "--from", s(home / "first")}, false, home.path());
    ASSERT_TRUE(waitForEntry(root, ".vellarion-") ||
                waitForEntry(root.parent_path(), ".vellarion-"));
    ::kill(holder.pid(), SIGSTOP);

    const Result refused =
        run({"backup", "firefox", "--to", s(home / "second"), "--no-wait"}, home.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "vellarion-cli: " + busy(root) + ".\n");
    EXPECT_FALSE(fs::exists(home / "second" / "default-release.dat"));

    ::kill(holder.pid(), SIGKILL);
    holder.wait();
    const Result backup = run({"backup", "firefox", "--to", s(home / "second")}, home.path());
    EXPECT_EQ(backup.exitCode, 0) << backup.err;
    // The killed restore left the profile all old or all new, and no folder of its own.
    const std::string prefs = readFile(profile / "prefs.js");
    EXPECT_TRUE(prefs == "user_pref(\"a\", 1);\n" || prefs == "user_pref(\"a\", 2);\n") << prefs;
    for (const auto& entry : fs::recursive_directory_iterator(home / ".mozilla")) {
        EXPECT_EQ(entry.path().filename().string().find(".vellarion-"), std::string::npos)
            << entry.path();
    }
}

TEST_F(CliJobs, ARestoreIntoAHeldProfileIsRefusedOfferingWaitAndWaitsWhenAsked) {
    ASSERT_EQ(run({"backup", "firefox", "--to", s(home / "b")}, home.path()).exitCode, 0);
    writeFile(profile / "prefs.js", "user_pref(\"a\", 2);\n");
    auto lock = std::make_unique<HeldLock>(profile / ".parentlock");

    const Result refused = run({"restore", "firefox", "--from", s(home / "b")}, home.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "vellarion-cli: Close Firefox and try again. Firefox holds " +
                               s(profile) + "; --wait waits until it lets go of it.\n");

    // A bounded wait ends refused.
    const Result bounded =
        run({"restore", "firefox", "--from", s(home / "b"), "--wait=1s"}, home.path());
    EXPECT_EQ(bounded.exitCode, 1);
    EXPECT_EQ(bounded.err, "vellarion-cli: warning: Firefox holds " + s(profile) +
                               ": waiting until it lets go of it…\n"
                               "vellarion-cli: Close Firefox and try again.\n");
    EXPECT_EQ(readFile(profile / "prefs.js"), "user_pref(\"a\", 2);\n");

    // Ctrl-C ends the wait with nothing done.
    Cli stopped({"restore", "firefox", "--from", s(home / "b"), "--wait"}, false, home.path());
    ASSERT_TRUE(waitForError(stopped, "waiting until it lets go"));
    ::kill(stopped.pid(), SIGINT);
    EXPECT_EQ(stopped.wait().exitCode, 130);
    EXPECT_EQ(readFile(profile / "prefs.js"), "user_pref(\"a\", 2);\n");

    // The browser lets go: the restore runs.
    Cli waiting({"restore", "firefox", "--from", s(home / "b"), "--wait"}, false, home.path());
    ASSERT_TRUE(waitForError(waiting, "waiting until it lets go"));
    lock.reset();
    const Result done = waiting.wait();
    EXPECT_EQ(done.exitCode, 0) << done.err;
    EXPECT_EQ(readFile(profile / "prefs.js"), "user_pref(\"a\", 1);\n");

    // A duration that is none is a usage error.
    EXPECT_EQ(
        run({"restore", "firefox", "--from", s(home / "b"), "--wait=soon"}, home.path()).exitCode,
        2);
}

} // namespace
} // namespace vellarion::test
