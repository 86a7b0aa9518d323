// vellarion-cli's commands for Internet Explorer: the one archive a restore
// takes without being told, and what they refuse. (Its jobs pause between
// registry saves, for real in a child process: they run in the engine
// suite with the pauses recorded, and end to end in the Windows stage.)
#include "CliRunner.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

TEST(InternetExplorerCli, RestoreLooksForBackupIeDatAndOptionsThatDoNotApplyAreRefused) {
    SamplePrefixFixture fx;
    TempDir backups;
    const auto onSample = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--prefix", pathToUtf8(fx.sample().prefix)});
        return run(std::move(args));
    };
    const Result missing = onSample({"restore", "ie", "--from", s(backups.path())});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "vellarion-cli: Backup File \"backup_ie.dat\" Not Found\n");
    const Result other =
        onSample({"restore", "ie", "--from", s(backups.path()), "--archive", "default.dat"});
    EXPECT_EQ(other.err, "vellarion-cli: Internet Explorer restores only \"backup_ie.dat\"\n");
    const Result profile =
        onSample({"backup", "ie", "--to", s(backups.path()), "--profile", "default"});
    EXPECT_EQ(profile.err, "vellarion-cli: Internet Explorer has no profiles to choose from\n");
    // Other browsers are told that the folder holds no backup of theirs.
    const Result unnamed = onSample({"restore", "firefox", "--from", s(backups.path())});
    EXPECT_EQ(unnamed.exitCode, 1);
    EXPECT_EQ(unnamed.err, "vellarion-cli: " + s(backups.path()) +
                               " holds no backup of this profile (default.dat). It holds no "
                               "archive (.dat) at all.\n");
    EXPECT_TRUE(std::filesystem::is_empty(backups.path()));
}

} // namespace
} // namespace vellarion::test
