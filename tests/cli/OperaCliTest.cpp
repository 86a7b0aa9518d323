// vellarion-cli for Opera: a full backup through a typed installation
// folder, and convert-opera, run as a user runs them.
#include "CliRunner.h"
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
    const std::vector<std::string> args = {"full-backup", "opera", "--to", s(backups.path()),
                                           "--prefix=" + s(prefix.sample().prefix)};
    const auto with = [&](std::vector<std::string> more) {
        more.insert(more.begin(), args.begin(), args.end());
        return run(more);
    };
    EXPECT_EQ(with({}).err, "vellarion-cli: Settings Files Not Found. Please Type Folder Name.\n");
    const Result bad = with({"--install-folder", ".."});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "vellarion-cli: Settings Files Not Found. Please Re-Check Folder Name.\n");
    EXPECT_EQ(run({"full-backup", "firefox", "--to", "x", "--install-folder", "x"}).exitCode, 2);
    EXPECT_TRUE(fs::is_empty(backups.path()));

    const Result packed = with({"--install-folder", "Opera 10"});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_TRUE(packed.out.starts_with("Packed " +
                                       s(prefix.onDriveC("users/demo/AppData/Roaming/Opera")) +
                                       " into " + s(backups / "fbackup_opera.dat")))
        << packed.out;
    EXPECT_NE(packed.out.find("Packed " +
                              s(prefix.onDriveC("users/demo/AppData/Local/Opera/Opera 10/mail")) +
                              " into " + s(backups / "fbackup_opera2.dat")),
              std::string::npos)
        << packed.out;
}

TEST(CliOpera, ConvertOperaListsRunsAndCountsWritingOnlyWhatChanged) {
    const Result list = run({"convert-opera", "--list"});
    EXPECT_TRUE(list.out.starts_with("0\tXP 32 bit -> 7/Vista 32 bit\n")) << list.out;
    EXPECT_TRUE(list.out.ends_with("\n11\tChange of user name\n")) << list.out;

    SamplePrefixFixture prefix({.browsers = {Browser::Opera}});
    const std::string env = "--prefix=" + s(prefix.sample().prefix);
    const fs::path file =
        prefix.onDriveC("users/demo/AppData/Roaming/Opera/Opera/profile/operaprefs.ini");
    const std::string original = readFile(file);
    const Result dry = run({"convert-opera", "4", env, "--dry-run"});
    EXPECT_EQ(dry.out, s(file) + "\n\"Program Files\" -> \"Program Files (x86)\": 2\n"
                                 "UTF-8 byte-order mark -> (removed): 0\n"
                                 "Dry run; nothing written.\n");
    EXPECT_EQ(readFile(file), original);
    ASSERT_EQ(run({"convert-opera", "4", env}).exitCode, 0);
    EXPECT_NE(readFile(file), original);
    EXPECT_TRUE(run({"convert-opera", "4", env})
                    .out.ends_with(": 0\nNothing to change; the file is left as it was.\n"));

    const Result noUser = run({"convert-opera", "11", env});
    EXPECT_EQ(noUser.exitCode, 1);
    EXPECT_EQ(noUser.err, "vellarion-cli: Enter the old user name.\n");
    EXPECT_EQ(run({"convert-opera", "12", env}).exitCode, 2);
}

} // namespace
} // namespace vellarion::test
