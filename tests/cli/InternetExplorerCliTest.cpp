// vellarion-cli's commands for Internet Explorer: its items, the one archive
// a restore takes without being told, and what it refuses. (The jobs
// themselves pause between registry saves, for real in a child process:
// they run in the engine suite with the pauses recorded, and end to end in
// the Windows stage.)
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

TEST(InternetExplorerCli, ItemsListsTheNineUsedBoxesInBackupOrder) {
    const Result items = run({"items", "ie"});
    EXPECT_EQ(items.exitCode, 0) << items.err;
    EXPECT_EQ(items.out, "autocomplete\tАвтозаполнение\n"
                         "cookies\tКуки\n"
                         "favorites\tИзбранное\n"
                         "history\tИстория\n"
                         "search\tПоисковые системы\n"
                         "sessions\tСессии\n"
                         "settings\tНастройки\n"
                         "toolbar\tПанель инструментов\n"
                         "links\tПанель ссылок\n");
}

TEST(InternetExplorerCli, RestoreLooksForBackupIeDatAndRefusesWhatDoesNotApply) {
    SamplePrefixFixture fx;
    TempDir backups;
    const auto onSample = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--prefix", pathToUtf8(fx.sample().prefix)});
        return run(std::move(args));
    };
    // No --archive: the fixed one, which is not there.
    const Result missing = onSample({"restore", "ie", "--from", s(backups.path())});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "vellarion-cli: Backup File \"backup_ie.dat\" Not Found\n");
    const Result full = onSample({"full-restore", "ie", "--from", s(backups.path())});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err, "vellarion-cli: Backup File \"fbackup_ie.dat\" Not Found\n");

    const Result other =
        onSample({"restore", "ie", "--from", s(backups.path()), "--archive", "default.dat"});
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_EQ(other.err, "vellarion-cli: Internet Explorer restores only \"backup_ie.dat\"\n");
    const Result profile =
        onSample({"backup", "ie", "--to", s(backups.path()), "--profile", "default"});
    EXPECT_EQ(profile.exitCode, 1);
    EXPECT_EQ(profile.err, "vellarion-cli: Internet Explorer has no profiles to choose from\n");

    // Other browsers still need to be told which archive.
    const Result unnamed = onSample({"restore", "firefox", "--from", s(backups.path())});
    EXPECT_EQ(unnamed.exitCode, 2);
    EXPECT_NE(unnamed.err.find("--archive is required"), std::string::npos) << unnamed.err;
    EXPECT_TRUE(fs::is_empty(backups.path()));
}

} // namespace
} // namespace vellarion::test
