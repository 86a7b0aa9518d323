// Opera's data set in the two engines, on a sample prefix laid out as
// Opera 9 and 10 lay out their data: installation folders with and without
// "profile", the local mail store apart from them, widgets in two places.
#include "FileSizeLimit.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "core/services/Error.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/SelectiveJob.h"

#include <gtest/gtest.h>
#include <set>

#ifndef _WIN32

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::storedNames;
using test::writeFile;

class OperaTest : public ::testing::Test {
protected:
    OperaTest() : prefix({.browsers = {Browser::Opera}}) {}

    fs::path roaming(std::string_view rest) const {
        return prefix.onDriveC("users/demo/AppData/Roaming/Opera/" + std::string(rest));
    }
    fs::path local(std::string_view rest) const {
        return prefix.onDriveC("users/demo/AppData/Local/Opera/" + std::string(rest));
    }
    std::string location() const { return pathToUtf8(backups.path()); }
    size_t filesInBackups() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(backups.path()), {}));
    }
    // A selective job on profile `index` (or the custom location) with the
    // boxes in `only` ticked (all when empty).
    JobOutcome run(Direction direction, int index, std::string custom = {},
                   std::set<std::string> only = {}) {
        test::Wizard<SelectiveJob> w(prefix.services(), operaDataSet());
        EXPECT_TRUE(w.job.activate());
        w.job.profiles.selected = index;
        w.job.listArchives(location());
        SelectiveChoices c{.backupLocation = location(),
                           .customLocation =
                               custom.empty() ? "Custom profile location (optional):" : custom,
                           .ticked = [only](std::string_view box) {
                               return only.empty() || only.count(std::string(box)) > 0;
                           }};
        const JobOutcome outcome =
            direction == Direction::Backup ? w.job.backup(c) : w.job.restore(c);
        progress = w.reporter.progress;
        steps = w.reporter.stepTotal();
        return outcome;
    }

    test::SamplePrefixFixture prefix;
    test::TempDir backups;
    std::vector<std::string> progress;
    int steps = 0;
};

TEST_F(OperaTest, ABackupHoldsEveryItemAndTheLocalMailAndRestoresIntoAnotherInstallation) {
    ASSERT_EQ(run(Direction::Backup, 0), JobOutcome::Done);
    const std::set<std::string> names = storedNames(backups / "Opera.dat");
    EXPECT_EQ(names.size(), 36u);
    for (const char* name :
         {"opera6.adr", "notes.adr", "wand.dat", "vlink4.dat", "urlfilter.ini",
          "dictionaries\\ru.dic", "sessions\\autosave.win", "mail\\accounts.ini",
          "loc\\mail\\index.ini", "loc\\mail\\store\\account1\\2010\\01\\01\\0001.mbs",
          "widgets\\clock.wgt"}) {
        EXPECT_TRUE(names.count(name)) << name;
    }
    EXPECT_EQ(filesInBackups(), 1u) << "the staging folder is gone";
    // 5 before, 5 for each of the sixteen items with a step, 5 after.
    EXPECT_EQ(steps, 90);
    EXPECT_EQ(progress.back(), "hide");

    // Into Opera 10: its "profile" and its own mail directory.
    writeFile(roaming("Opera 10/profile/wand.dat"), "other");
    ASSERT_EQ(run(Direction::Restore, 1), JobOutcome::Done);
    const fs::path opera10 = roaming("Opera 10/profile");
    EXPECT_EQ(readFile(opera10 / "wand.dat"), readFile(roaming("Opera/profile/wand.dat")));
    EXPECT_EQ(readFile(local("Opera 10/mail/store/account1/2010/01/01/0001.mbs")),
              readFile(local("Opera/mail/store/account1/2010/01/01/0001.mbs")));
    EXPECT_TRUE(fs::exists(opera10 / "widgets/clock.wgt"));
    EXPECT_FALSE(fs::exists(opera10 / "profile")) << "widgets go back as the profile's own";
    EXPECT_FALSE(fs::exists(opera10 / "loc"));
    EXPECT_EQ(steps, 94);
}

TEST_F(OperaTest, EachInstallationIsReadInItsOwnLayoutAndACustomOneKeepsItsOwnMailStore) {
    // Opera 9 keeps its settings in its own folder, "Opera" in "profile".
    ASSERT_EQ(run(Direction::Backup, 2), JobOutcome::Done);
    const std::set<std::string> names = storedNames(backups / "Opera 9.dat");
    EXPECT_EQ(names.size(), 34u) << "no local mail store; both widget folders merged";
    EXPECT_TRUE(names.count("notes.adr") && names.count("widgets\\weather.wgt") &&
                names.count("widgets\\clock.wgt"));
    fs::remove(roaming("Opera 9/notes.adr"));
    fs::remove_all(roaming("Opera 9/widgets"));
    ASSERT_EQ(run(Direction::Restore, 2), JobOutcome::Done);
    EXPECT_TRUE(fs::exists(roaming("Opera 9/notes.adr")));
    EXPECT_TRUE(fs::exists(roaming("Opera 9/widgets/weather.wgt")));
    EXPECT_FALSE(fs::exists(roaming("Opera 9/profile/notes.adr")));

    // Opera.dat (with its local mail store) into a custom location: the
    // profile's mail lands there, the local mail store in the custom
    // location's own folder of the local data.
    fs::remove(backups / "Opera 9.dat");
    ASSERT_EQ(run(Direction::Backup, 0, {}, {"CheckBox6"}), JobOutcome::Done);
    test::TempDir custom;
    ASSERT_EQ(run(Direction::Restore, 0, pathToUtf8(custom.path())), JobOutcome::Done);
    EXPECT_TRUE(fs::exists(custom / "mail/accounts.ini"));
    EXPECT_FALSE(fs::exists(custom / "loc"));
    EXPECT_EQ(readFile(local("op_custom/mail/store/account1/2010/01/01/0001.mbs")),
              readFile(local("Opera/mail/store/account1/2010/01/01/0001.mbs")));

    // Backed up from there, the custom location's mail store comes along.
    writeFile(local("op_custom/mail/index.ini"), "custom index");
    ASSERT_EQ(run(Direction::Backup, 0, pathToUtf8(custom.path())), JobOutcome::Done);
    const std::set<std::string> customNames = storedNames(backups / "op_custom.dat");
    EXPECT_TRUE(customNames.count("mail\\accounts.ini"));
    EXPECT_TRUE(customNames.count("loc\\mail\\store\\account1\\2010\\01\\01\\0001.mbs"));
    fs::remove_all(local("op_custom"));
    fs::remove(backups / "Opera.dat"); // op_custom.dat is the one listed
    ASSERT_EQ(run(Direction::Restore, 0, pathToUtf8(custom.path())), JobOutcome::Done);
    EXPECT_EQ(readFile(local("op_custom/mail/index.ini")), "custom index");
}

TEST_F(OperaTest, FullJobsPackTheDataRootAndTheMailStoreEachRelativeToItself) {
    test::Wizard<FullJob> w(prefix.services(), operaDataSet());
    ASSERT_TRUE(w.job.activate());
    EXPECT_EQ(w.state.ffpath, prefix.sample().roaming + "\\Opera");
    ASSERT_EQ(w.job.backup(location()), JobOutcome::Done);
    const std::set<std::string> root = storedNames(backups / "fbackup_opera.dat");
    EXPECT_TRUE(root.count("Opera\\profile\\speeddial.ini") && root.count("Opera 9\\notes.adr"));
    EXPECT_EQ(storedNames(backups / "fbackup_opera2.dat"),
              (std::set<std::string>{"index.ini", "omailbase.dat",
                                     "store\\account1\\2010\\01\\01\\0001.mbs"}));

    // Without the second archive the restore leaves mail alone, silently.
    writeFile(roaming("Opera/profile/wand.dat"), "changed");
    writeFile(local("Opera/mail/index.ini"), "changed");
    fs::remove(backups / "fbackup_opera2.dat");
    w.reporter.log.clear();
    ASSERT_EQ(w.job.restore(location()), JobOutcome::Done);
    EXPECT_NE(readFile(roaming("Opera/profile/wand.dat")), "changed");
    EXPECT_EQ(readFile(local("Opera/mail/index.ini")), "changed");
    // The archive is read whole first, then unpacked.
    EXPECT_EQ(w.reporter.log, (std::vector<std::string>{"busy", "started", "idle", "finished"}));

    // No local mail store: an empty second archive, and no file left out.
    struct : test::RecordingReporter {
        int skipped = 0;
        void fileSkipped(const std::string&, const std::string&) override { ++skipped; }
    } quiet;
    fs::remove_all(local("Opera/mail"));
    ASSERT_EQ(FullJob(prefix.services(), operaDataSet(), w.state, quiet).backup(location()),
              JobOutcome::Done);
    EXPECT_TRUE(storedNames(backups / "fbackup_opera2.dat").empty());
    EXPECT_EQ(quiet.skipped, 0);
    EXPECT_TRUE(quiet.messages.empty());
}

TEST_F(OperaTest, ATypedInstallationFolderFindsTheDataAndItsMailAndBadNamesAreRefused) {
    fs::remove_all(roaming("Opera"));
    test::Wizard<FullJob> w(prefix.services(), operaDataSet());
    EXPECT_FALSE(w.job.activate());
    EXPECT_EQ(w.reporter.messages,
              std::vector<std::string>{"Settings Files Not Found. Please Type Folder Name."});
    for (const char* bad : {"Opera 11", "..", "..\\Opera 10", "Opera 10/..", "C:", " "}) {
        w.reporter.messages.clear();
        w.state.customdir = bad;
        EXPECT_EQ(w.job.backup(location()), JobOutcome::Refused) << bad;
        EXPECT_EQ(
            w.reporter.messages,
            std::vector<std::string>{"Settings Files Not Found. Please Re-Check Folder Name."});
    }
    EXPECT_EQ(filesInBackups(), 0u);

    w.state.customdir = "Opera 10";
    ASSERT_EQ(w.job.backup(location()), JobOutcome::Done);
    const std::string roam = prefix.sample().roaming;
    EXPECT_EQ(w.state.v101, roam + "\\Opera\\Opera 10");
    EXPECT_EQ(w.state.v102, "C:\\Users\\demo\\AppData\\Local\\Opera\\Opera 10");
    EXPECT_EQ(w.state.dir3, "C:\\Users\\demo\\AppData\\Roaming\\Opera\\Opera 10\\profile");
    EXPECT_EQ(w.state.ffpath, roam + "\\Opera");
    EXPECT_EQ(storedNames(backups / "fbackup_opera2.dat"), std::set<std::string>{"index.ini"});
}

TEST_F(OperaTest, TheTwoFullArchivesAreReplacedAsAPair) {
    test::Wizard<FullJob> w(prefix.services(), operaDataSet());
    ASSERT_TRUE(w.job.activate());
    writeFile(backups / "fbackup_opera.dat", "previous root");
    writeFile(backups / "fbackup_opera2.dat", "previous mail");
    const auto bothPrevious = [&] {
        EXPECT_EQ(readFile(backups / "fbackup_opera.dat"), "previous root");
        EXPECT_EQ(readFile(backups / "fbackup_opera2.dat"), "previous mail");
        EXPECT_EQ(filesInBackups(), 2u);
    };
    // The disk fills up while the second archive is written.
    writeFile(local("Opera/mail/store/big.mbs"), test::noise(600 * 1024));
    {
        test::FileSizeLimit full(300 * 1024);
        EXPECT_THROW(w.job.backup(location()), Error);
    }
    bothPrevious();
    // A stop once the second archive has begun.
    w.reporter.stopAfter = static_cast<int>(test::readTree(roaming("")).size());
    EXPECT_EQ(w.job.backup(location()), JobOutcome::Stopped);
    bothPrevious();
}

} // namespace
} // namespace vellarion

#endif
