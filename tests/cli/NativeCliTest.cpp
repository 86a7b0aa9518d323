// vellarion-cli on the browsers of the machine it runs on: the line that says
// so, a backup of the user's own Firefox, a restore registered as a profile.
#include "CliRunner.h"
#include "FileTree.h"
#include "TempDir.h"

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

    const Result backup = run(
        {"backup", "firefox", "--to", s(backups), "--items", "settings,passwords"}, home.path());
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

    // With a Wine prefix in the home, the Windows data comes first.
    fs::create_directories(home / ".wine" / "drive_c");
    EXPECT_EQ(run({"profiles", "firefox"}, home.path()).environment,
              "the Windows prefix " + s(home / ".wine"));
    // The registered folder is one of Firefox's profiles now.
    const Result native = run({"profiles", "firefox", "--native"}, home.path());
    EXPECT_EQ(native.out, "k3x9ab12.default-release\nrestored\n");
    const Result safari = run({"profiles", "safari", "--native"}, home.path());
    EXPECT_EQ(safari.exitCode, 1);
    EXPECT_EQ(safari.err, "vellarion-cli: Safari has no version for this machine: its data is "
                          "reached in a Windows prefix (--prefix) or on a Windows disk "
                          "(--windows-root).\n");
}

} // namespace
} // namespace vellarion::test
