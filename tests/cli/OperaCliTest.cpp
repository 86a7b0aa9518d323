// vellarion-cli for Opera: the full commands with a typed installation
// folder, and convert-opera, run as a user runs them.
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

TEST(CliOpera, FullBackupThroughATypedInstallationFolderWritesBothArchives) {
    SamplePrefixFixture prefix({.browsers = {Browser::Opera}});
    fs::remove_all(prefix.onDriveC("users/demo/AppData/Roaming/Opera/Opera"));
    TempDir backups;
    const std::string env = "--prefix=" + s(prefix.sample().prefix);
    const std::string to = s(backups.path());

    const Result notFound = run({"full-backup", "opera", env, "--to", to});
    EXPECT_EQ(notFound.exitCode, 1);
    EXPECT_EQ(notFound.err, "vellarion-cli: Settings Files Not Found. Please Type Folder Name.\n");
    const Result bad = run({"full-backup", "opera", env, "--to", to, "--install-folder", ".."});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "vellarion-cli: Settings Files Not Found. Please Re-Check Folder Name.\n");
    const Result other = run({"full-backup", "firefox", env, "--to", to, "--install-folder", "x"});
    EXPECT_EQ(other.exitCode, 2);
    EXPECT_TRUE(fs::is_empty(backups.path()));

    const Result packed =
        run({"full-backup", "opera", env, "--to", to, "--install-folder", "Opera 10"});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    const std::string roaming = prefix.sample().roaming;
    const std::string local = prefix.sample().local;
    EXPECT_NE(
        packed.out.find("Packed " + roaming + "\\Opera into " + s(backups / "fbackup_opera.dat")),
        std::string::npos)
        << packed.out;
    EXPECT_NE(packed.out.find("Packed " + local + "\\Opera\\Opera 10\\mail into " +
                              s(backups / "fbackup_opera2.dat")),
              std::string::npos)
        << packed.out;

    const Result unpacked =
        run({"full-restore", "opera", env, "--from", to, "--install-folder", "Opera 10"});
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
    EXPECT_NE(unpacked.out.find("fbackup_opera2.dat"), std::string::npos) << unpacked.out;
}

TEST(CliOpera, ConvertOperaListsRunsCountsAndWritesOnlyWhatChanged) {
    const Result list = run({"convert-opera", "--list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_TRUE(
        list.out.starts_with("0\tXP 32 bit -> 7/Vista 32 bit\n1\tXP 32 bit -> 7/Vista 64 bit\n"))
        << list.out;
    EXPECT_TRUE(list.out.ends_with("10\tСмена буквы диска\n11\tСмена имени пользователя\n"));

    SamplePrefixFixture prefix({.browsers = {Browser::Opera}});
    const std::string env = "--prefix=" + s(prefix.sample().prefix);
    const fs::path file =
        prefix.onDriveC("users/demo/AppData/Roaming/Opera/Opera/profile/operaprefs.ini");
    const std::string original = readFile(file);
    // The file as this machine names it.
    const std::string shown = s(file);

    const Result dry = run({"convert-opera", "4", env, "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_EQ(dry.out, shown + "\n\"Program Files\" -> \"Program Files (x86)\": 2\n"
                               "UTF-8 byte-order mark -> (removed): 0\n"
                               "Dry run; nothing written.\n");
    EXPECT_EQ(readFile(file), original);

    const Result done = run({"convert-opera", "4", env});
    ASSERT_EQ(done.exitCode, 0) << done.err;
    EXPECT_NE(readFile(file), original);
    const Result again = run({"convert-opera", "4", env});
    EXPECT_NE(again.out.find(": 0\nUTF-8"), std::string::npos) << again.out;
    EXPECT_TRUE(again.out.ends_with("Nothing to change; the file is left as it was.\n"));

    const Result user = run({"convert-opera", "11", env, "--old-user", "demo"});
    ASSERT_EQ(user.exitCode, 0) << user.err;
    EXPECT_NE(user.out.find("\"demo\" -> \"demo\": 0"), std::string::npos) << user.out;
    const Result noUser = run({"convert-opera", "11", env});
    EXPECT_EQ(noUser.exitCode, 1);
    EXPECT_EQ(noUser.err, "vellarion-cli: Введите старое имя пользователя.\n");
    const Result noDrive = run({"convert-opera", "10", env, "--old-drive", "D"});
    EXPECT_EQ(noDrive.exitCode, 1);
    const Result range = run({"convert-opera", "12", env});
    EXPECT_EQ(range.exitCode, 2);

    SamplePrefixFixture none({.browsers = {}});
    const Result missing = run({"convert-opera", "0", "--prefix=" + s(none.sample().prefix)});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "vellarion-cli: Не найден файл параметров\n");
}

} // namespace
} // namespace vellarion::test
