// vellarion-cli on the browsers of the machine it runs on: the line that says
// so, a backup of the user's own Firefox, a restore registered as a profile.
#include "CliRunner.h"
#include "FileTree.h"
#include "TempDir.h"
#include "core/services/Error.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

TEST(CliNative, BacksUpTheUsersOwnFirefoxAndRegistersARestoredFolder) {
    TempDir home;
    const fs::path root = home / ".mozilla" / "firefox";
    writeFile(root / "k3x9ab12.default-release" / "prefs.js", "user_pref(\"a\", 1);\n");
    writeFile(root / "k3x9ab12.default-release" / "logins.json", "{\"logins\":[]}");
    const std::string ini =
        "[Profile0]\nName=default-release\nIsRelative=1\nPath=k3x9ab12.default-release\n"
        "Default=1\n\n[General]\nStartWithLastProfile=1\nVersion=2\n\n";
    writeFile(root / "profiles.ini", ini);
    const fs::path backups = home / "backups";
    fs::create_directories(backups);

    const Result listed = run({"profiles", "firefox"}, home.path());
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.environment, "this machine's own browsers (home " + s(home.path()) + ")");
    EXPECT_EQ(listed.out, "k3x9ab12.default-release\n");

    // Chosen by the name Firefox knows it by.
    const Result backup = run({"backup", "firefox", "--to", s(backups), "--profile",
                               "default-release", "--items", "settings,passwords"},
                              home.path());
    EXPECT_EQ(backup.exitCode, 0) << backup.err;
    EXPECT_EQ(backup.out, s(backups / "default-release.dat") + "\n");
    EXPECT_EQ(storedNames(backups / "default-release.dat"),
              (std::set<std::string>{"logins.json", "prefs.js"}));

    const fs::path copy = home / "copies" / "restored";
    const Result restore = run({"restore", "firefox", "--from", s(backups), "--archive",
                                "default-release.dat", "--custom-profile", s(copy), "--register"},
                               home.path());
    EXPECT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_EQ(readFile(copy / "logins.json"), "{\"logins\":[]}");
    EXPECT_EQ(readFile(root / "profiles.ini"),
              ini + "[Profile1]\nName=restored\nIsRelative=0\nPath=" + s(copy) + "\n");

    // A Wine prefix in the home does not hide the machine's own browsers;
    // the registered folder is one of Firefox's profiles now.
    fs::create_directories(home / ".wine" / "drive_c");
    const Result native = run({"profiles", "firefox"}, home.path());
    EXPECT_EQ(native.environment, "this machine's own browsers (home " + s(home.path()) + ")");
    EXPECT_EQ(native.out, "k3x9ab12.default-release\nrestored\n");
    // A browser only that prefix can hold says how to reach it.
    const Result safari = run({"profiles", "safari"}, home.path());
    EXPECT_EQ(safari.exitCode, 1);
    EXPECT_EQ(safari.err, "vellarion-cli: Safari has no version for this machine: its data is "
                          "reached in a Windows prefix (--prefix) or on a Windows disk "
                          "(--windows-root). A Windows prefix is in " +
                              s(home / ".wine") + ": --prefix " + s(home / ".wine") + ".\n");
}

// A fresh account: the backup folder is made as it is needed, and what
// cannot be made is named as this system names it.
TEST(CliNative, ABackupMakesItsMissingFolderAndNamesTheOneThatCannotBeMade) {
    TempDir home;
    const fs::path root = home / ".mozilla" / "firefox";
    writeFile(root / "3tma45ru.second" / "prefs.js", "user_pref(\"b\", 2);\n");
    // A file that cannot be read: a link to nothing.
    fs::create_symlink(home / "gone", root / "3tma45ru.second" / "broken");
    writeFile(root / "profiles.ini",
              "[Profile0]\nName=second\nIsRelative=1\nPath=3tma45ru.second\nDefault=1\n\n");

    const Result selective = run({"backup", "firefox", "--to", s(home / "backups")}, home.path());
    EXPECT_EQ(selective.exitCode, 0) << selective.err;
    EXPECT_EQ(selective.out, s(home / "backups" / "second.dat") + "\n");
    EXPECT_TRUE(storedNames(home / "backups" / "second.dat").count("prefs.js"));

    const fs::path deep = home / "archives" / "2026" / "december";
    const Result full = run({"full-backup", "firefox", "--to", s(deep)}, home.path());
    // Done, but without the link it named: done, but incomplete.
    EXPECT_EQ(full.exitCode, 3) << full.err;
    EXPECT_TRUE(fs::is_regular_file(deep / "fbackup_firefox.dat"));
    EXPECT_EQ(full.out, "Packed " + s(root) + " into " + s(deep / "fbackup_firefox.dat") + " (" +
                            std::to_string(fs::file_size(deep / "fbackup_firefox.dat")) +
                            " bytes)\n");
    EXPECT_EQ(full.err, "vellarion-cli: warning: Symbolic link \"" +
                            s(root / "3tma45ru.second" / "broken") +
                            "\" skipped\n"
                            "vellarion-cli: warning: the archive holds passwords and cookies "
                            "readable by anyone who gets the file (--encrypt protects them)\n"
                            "vellarion-cli: done, but incomplete: what is named above was "
                            "not backed up\n");

    // A file stands where a folder of the location would have to be: the
    // folder as the user typed it, and the system's reason.
    writeFile(home / "blocked", "a file");
    for (const char* command : {"backup", "full-backup"}) {
        const Result refused =
            run({command, "firefox", "--to", s(home / "blocked" / "backups")}, home.path());
        EXPECT_EQ(refused.exitCode, 1) << command;
        EXPECT_EQ(refused.err, "vellarion-cli: Cannot make the folder " +
                                   s(home / "blocked" / "backups") + ": " +
                                   systemErrorText(ENOTDIR) + "\n")
            << command;
    }
}

} // namespace
} // namespace vellarion::test
