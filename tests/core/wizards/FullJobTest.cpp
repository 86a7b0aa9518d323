// The full job: a browser's whole data root into one archive and back, as
// the windows and the command line run it.
#include "core/wizards/FullJob.h"

#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"
#include "core/services/ServicesFactory.h"
#include "core/wizards/Messages.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::readTree;
using test::RecordingReporter;
using test::TempDir;
using test::Wizard;
using test::writeFile;

// The archive's stored names, sorted, with "/" between the parts.
std::vector<std::string> storedPaths(const fs::path& archive) {
    std::vector<std::string> names;
    for (std::string name : test::storedNames(archive)) {
        std::replace(name.begin(), name.end(), '\\', '/');
        names.push_back(name);
    }
    return names;
}

#ifndef _WIN32

// The files the codec stores: it leaves empty ones out.
std::vector<std::string> nonEmptyFiles(const std::map<std::string, std::string>& tree) {
    std::vector<std::string> names;
    for (const auto& [name, content] : tree) {
        if (!content.empty()) {
            names.push_back(name);
        }
    }
    return names;
}

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// A sample prefix with Firefox and Flock, the backup location in a temporary
// folder of its own.
class FullJobTest : public ::testing::Test {
protected:
    explicit FullJobTest(SamplePrefixOptions options = {})
        : prefix(std::move(options)), firefox(prefix.services(), firefoxDataSet()) {}

    fs::path native(const std::string& programPath) {
        return *prefix.services().paths().toNative(programPath);
    }
    fs::path root() { return native(state.ffpath); }
    std::string location() const { return pathToUtf8(backups.path()); }
    fs::path archive() const { return backups / "fbackup_firefox.dat"; }

    test::SamplePrefixFixture prefix;
    TempDir backups;
    Wizard<FullJob> firefox;
    WizardState& state = firefox.state;
    RecordingReporter& reporter = firefox.reporter;
    FullJob& job = firefox.job;
};

TEST(FullJobActivation, FindsTheDataRootOnVersions5And6AndTellsWhenItIsNotThere) {
    for (int version : {5, 6}) {
        for (const BrowserDataSet* data : {&firefoxDataSet(), &flockDataSet()}) {
            SCOPED_TRACE(std::string(data->name) + " on version " + std::to_string(version));
            test::SamplePrefixFixture prefix({.windowsVersion = version});
            Wizard<FullJob> w(prefix.services(), *data);
            ASSERT_TRUE(w.job.activate());
            const char* folder =
                data == &firefoxDataSet() ? "\\Mozilla\\Firefox" : "\\Flock\\Browser";
            EXPECT_EQ(w.state.ffpath, prefix.sample().roaming + folder);
            EXPECT_TRUE(w.reporter.log.empty()) << w.reporter.log.front();
        }
    }

    // Another major version searches no roaming data: not found, said once,
    // and the root found before is kept.
    test::SamplePrefixFixture prefix({.windowsVersion = 10});
    Wizard<FullJob> w(prefix.services(), firefoxDataSet());
    WizardState& state = w.state;
    RecordingReporter& reporter = w.reporter;
    FullJob& job = w.job;
    state.ffpath = "C:\\earlier";
    EXPECT_FALSE(job.activate());
    EXPECT_EQ(reporter.log, std::vector<std::string>{"message: Не найден файл параметров"});
    EXPECT_EQ(state.ffpath, "C:\\earlier");
    EXPECT_FALSE(job.hasDataRoot());

    // A browser installed while the window is open is found at the next
    // activation.
    writeFile(prefix.onDriveC("users/demo/AppData/Local/Mozilla/Firefox/profiles.ini"),
              "[General]\n");
    reporter.log.clear();
    EXPECT_TRUE(job.activate());
    EXPECT_EQ(state.ffpath, prefix.sample().local + "\\Mozilla\\Firefox");
    EXPECT_TRUE(reporter.log.empty());
}

TEST_F(FullJobTest, BackupStoresEveryFileOfTheDataRootRelativeToIt) {
    ASSERT_TRUE(job.activate());
    ASSERT_EQ(job.backup(location()), JobOutcome::Done);

    const auto tree = readTree(root());
    ASSERT_GT(tree.size(), 20u);
    EXPECT_EQ(sorted(storedPaths(archive())), nonEmptyFiles(tree));
    EXPECT_EQ(job.archives().size(), 1u);
    EXPECT_EQ(job.archives().front().archive, location() + "/fbackup_firefox.dat");

    // Each file was announced by its full path below the root, with its bytes.
    EXPECT_EQ(reporter.files.size(), nonEmptyFiles(tree).size());
    for (const std::string& file : reporter.files) {
        EXPECT_TRUE(file.starts_with(state.ffpath + "\\")) << file;
    }
    EXPECT_TRUE(reporter.progressSeen);
    // The cursor is back before the window says "Finished".
    EXPECT_EQ(reporter.log, (std::vector<std::string>{"busy", "started", "idle", "finished"}));

    // Unpacked elsewhere, the archive gives back the same bytes.
    TempDir out;
    TJvZlibMultiple().DecompressFile(pathToUtf8(archive()), pathToUtf8(out.path()), true, true);
    auto expected = tree;
    std::erase_if(expected, [](const auto& entry) { return entry.second.empty(); });
    EXPECT_EQ(readTree(out.path()), expected);
}

TEST_F(FullJobTest, ASecondBackupReplacesTheFirstAndALocationOnADriveIsUsedAsTyped) {
    ASSERT_TRUE(job.activate());
    fs::create_directories(prefix.onDriveC("Backup"));
    ASSERT_EQ(job.backup("C:\\Backup"), JobOutcome::Done);
    const fs::path onDrive = prefix.onDriveC("Backup/fbackup_firefox.dat");
    ASSERT_TRUE(fs::is_regular_file(onDrive));
    EXPECT_EQ(state.backups, "C:\\Backup");
    EXPECT_EQ(job.archives().front().archive, "C:\\Backup\\fbackup_firefox.dat");

    writeFile(root() / "profiles.ini", "[General]\r\nStartWithLastProfile=0\r\n");
    ASSERT_EQ(job.backup("C:\\Backup"), JobOutcome::Done);
    TempDir out;
    TJvZlibMultiple().DecompressFile(pathToUtf8(onDrive), pathToUtf8(out.path()), true, true);
    EXPECT_EQ(readFile(out / "profiles.ini"), "[General]\r\nStartWithLastProfile=0\r\n");
    EXPECT_EQ(
        std::distance(fs::directory_iterator(prefix.onDriveC("Backup")), fs::directory_iterator()),
        1)
        << "no temporary file is left beside the archive";
}

TEST_F(FullJobTest, AnArchiveThatExistsIsReplacedOnlyWhenTheUserSaysSo) {
    ASSERT_TRUE(job.activate());
    writeFile(archive(), "previous");
    reporter.replaceAnswer = false;
    EXPECT_EQ(job.backup(location()), JobOutcome::Refused);
    EXPECT_EQ(reporter.replaceQuestions, std::vector<std::string>{pathToUtf8(archive())});
    EXPECT_TRUE(reporter.log.empty()) << "nothing started";
    EXPECT_EQ(readFile(archive()), "previous");

    reporter.replaceAnswer = true;
    ASSERT_EQ(job.backup(location()), JobOutcome::Done);
    EXPECT_NE(readFile(archive()), "previous");
}

TEST_F(FullJobTest, RestoreOverwritesAndKeepsWhatTheArchiveLacks) {
    ASSERT_TRUE(job.activate());
    ASSERT_EQ(job.backup(location()), JobOutcome::Done);
    const auto saved = readTree(root());
    const std::string profile = "Profiles/abcd1234.default/";
    ASSERT_TRUE(saved.contains(profile + "prefs.js"));
    ASSERT_TRUE(saved.contains(profile + "cookies.sqlite"));

    writeFile(root() / profile / "prefs.js", "changed since the backup");
    fs::remove(root() / profile / "cookies.sqlite");
    writeFile(root() / profile / "added-later.txt", "kept");
    reporter.log.clear();
    reporter.files.clear();

    ASSERT_EQ(job.restore(location()), JobOutcome::Done);
    EXPECT_EQ(state.aregzistuoja, location() + "/fbackup_firefox.dat");
    auto expected = saved;
    expected[profile + "added-later.txt"] = "kept";
    EXPECT_EQ(readTree(root()), expected);
    // Each file named where it goes, although it is unpacked aside first.
    ASSERT_FALSE(reporter.files.empty());
    for (const std::string& file : reporter.files) {
        EXPECT_TRUE(file.starts_with(state.ffpath + "\\")) << file;
    }
    EXPECT_EQ(reporter.log, (std::vector<std::string>{"busy", "started", "idle", "finished"}));
}

TEST_F(FullJobTest, RefusalsTellTheUserAndTouchNothing) {
    ASSERT_TRUE(job.activate());
    const auto before = readTree(root());
    const std::string placeholder(kBackupLocationPlaceholder);
    for (const std::string& untouched : {placeholder, std::string(), std::string("   ")}) {
        for (Direction direction : {Direction::Backup, Direction::Restore}) {
            reporter.log.clear();
            const JobOutcome result =
                direction == Direction::Backup ? job.backup(untouched) : job.restore(untouched);
            EXPECT_EQ(result, JobOutcome::Refused);
            EXPECT_EQ(reporter.log,
                      std::vector<std::string>{"refused: Please Select Backup Location"});
        }
    }

    reporter.log.clear();
    EXPECT_EQ(job.restore(location()), JobOutcome::Refused);
    EXPECT_EQ(reporter.log,
              std::vector<std::string>{"refused: Backup File \"fbackup_firefox.dat\" Not Found"});

    // Flock asks for its own archive, even where Firefox's lies.
    ASSERT_EQ(job.backup(location()), JobOutcome::Done);
    Wizard<FullJob> flock(prefix.services(), flockDataSet());
    ASSERT_TRUE(flock.job.activate());
    EXPECT_EQ(flock.job.restore(location()), JobOutcome::Refused);
    EXPECT_EQ(flock.reporter.log,
              std::vector<std::string>{"refused: Backup File \"fbackup_flock.dat\" Not Found"});

    EXPECT_EQ(readTree(root()), before);
    EXPECT_EQ(readTree(backups.path()).size(), 1u);
}

class FullJobWithoutFirefox : public FullJobTest {
protected:
    FullJobWithoutFirefox() : FullJobTest({.browsers = {Browser::Chrome}}) {}
};

// Restores the working directory when the test ends.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const fs::path& dir) : previous_(fs::current_path()) {
        fs::current_path(dir);
    }
    ~WorkingDirectory() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

TEST_F(FullJobWithoutFirefox, NoJobRunsWithoutALocatedDataRoot) {
    EXPECT_FALSE(job.activate());
    // An archive is there, so the restore's archive test passes.
    writeFile(archive(), "not read");
    for (Direction direction : {Direction::Backup, Direction::Restore}) {
        reporter.log.clear();
        const JobOutcome result =
            direction == Direction::Backup ? job.backup(location()) : job.restore(location());
        EXPECT_EQ(result, JobOutcome::Refused);
        EXPECT_EQ(reporter.log, std::vector<std::string>{"refused: Не найден файл параметров"});
    }
    EXPECT_EQ(readFile(archive()), "not read");

    // A marker in the working directory names no data root: the search of
    // the data root's own markers does not even look there, and nothing is
    // packed from there, nor unpacked into it.
    TempDir work;
    writeFile(work / "profiles.ini", "[General]\n");
    writeFile(work / "private.txt", "not for the archive");
    WorkingDirectory cwd(work.path());
    reporter.log.clear();
    EXPECT_FALSE(job.activate());
    EXPECT_EQ(state.fullFilePath, "");
    EXPECT_EQ(job.backup(location()), JobOutcome::Refused);
    EXPECT_EQ(job.restore(location()), JobOutcome::Refused);
    EXPECT_EQ(reporter.log, (std::vector<std::string>{"message: Не найден файл параметров",
                                                      "refused: Не найден файл параметров",
                                                      "refused: Не найден файл параметров"}));
    EXPECT_EQ(readTree(work.path()).size(), 2u);
    EXPECT_EQ(readFile(archive()), "not read");
}

TEST_F(FullJobTest, ADataRootThatVanishedIsNotBackedUpOverTheLastArchive) {
    ASSERT_TRUE(job.activate());
    ASSERT_EQ(job.backup(location()), JobOutcome::Done);
    const std::string archived = readFile(archive());
    fs::remove_all(root());
    reporter.log.clear();
    EXPECT_EQ(job.backup(location()), JobOutcome::Refused);
    EXPECT_EQ(reporter.log, std::vector<std::string>{"refused: Не найден файл параметров"});
    EXPECT_EQ(readFile(archive()), archived);

    // A restore puts it back.
    EXPECT_EQ(job.restore(location()), JobOutcome::Done);
    EXPECT_TRUE(fs::is_regular_file(root() / "profiles.ini"));
}

TEST_F(FullJobTest, ACodecErrorEndsTheJobWithTheCursorBackAndNoFinish) {
    ASSERT_TRUE(job.activate());
    // A folder of the archive's name: the archive cannot take its place.
    fs::create_directories(backups / "blocked" / "fbackup_firefox.dat");
    try {
        job.backup(location() + "/blocked");
        ADD_FAILURE() << "the backup went through";
    } catch (const Error& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with("Cannot create file")) << error.what();
    }
    EXPECT_EQ(reporter.log, (std::vector<std::string>{"busy", "started", "idle"}));

    // An archive cut short: found before anything is written.
    ASSERT_EQ(job.backup(location()), JobOutcome::Done);
    const std::string whole = readFile(archive());
    writeFile(archive(), whole.substr(0, whole.size() / 2));
    reporter.log.clear();
    reporter.files.clear();
    EXPECT_EQ(job.restore(location()), JobOutcome::Refused);
    EXPECT_EQ(
        reporter.log,
        (std::vector<std::string>{
            "busy", "started",
            "refused: " + backupFileDamaged("fbackup_firefox.dat", "Stream read error"), "idle"}));
}

TEST_F(FullJobTest, ADamagedArchiveIsFoundBeforeTheFirstWriteAndChangesNothing) {
    ASSERT_TRUE(job.activate());
    ASSERT_EQ(job.backup(location()), JobOutcome::Done);
    std::string bytes = readFile(archive());
    bytes[bytes.size() - 2] ^= 0x5a; // the last record's checksum
    writeFile(archive(), bytes);
    writeFile(root() / "profiles.ini", "changed since");
    const std::map<std::string, std::string> before = readTree(root());

    reporter.log.clear();
    EXPECT_EQ(job.restore(location()), JobOutcome::Refused);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_TRUE(
        reporter.messages.front().starts_with("Backup File \"fbackup_firefox.dat\" Is Damaged ("))
        << reporter.messages.front();
    EXPECT_TRUE(reporter.messages.front().ends_with("). Nothing was restored."));
    EXPECT_TRUE(readTree(root()) == before) << "the data root exactly as it was";
    EXPECT_EQ(std::count(reporter.log.begin(), reporter.log.end(), "finished"), 0);
}

TEST_F(FullJobTest, AStopRequestEndsTheJobAndKeepsThePreviousArchive) {
    ASSERT_TRUE(job.activate());
    writeFile(archive(), "previous");
    reporter.stopAfter = 2;
    EXPECT_EQ(job.backup(location()), JobOutcome::Stopped);
    EXPECT_EQ(readFile(archive()), "previous");
    EXPECT_EQ(reporter.log, (std::vector<std::string>{"busy", "started", "idle"}));
    EXPECT_TRUE(job.archives().empty());
}

#endif

// A browser whose data is not found by a marker and that keeps it in two
// folders, the second optional: what the hooks let a data set say.
TEST(FullJobHooks, PlanTheArchivesAndRunAroundTheCodec) {
    TempDir dir;
    writeFile(dir / "main/settings.ini", "main");
    writeFile(dir / "mail/inbox.mbs", "mail");
    fs::create_directories(dir / "backups");
    const std::string base = pathToUtf8(dir.path());
    std::vector<std::string> hooksRun;
    bool allowJob = true;

    BrowserDataSet data = firefoxDataSet();
    data.full.archiveName = "one.dat";
    data.full.hooks.locate = [&](FullJobAccess&) {
        hooksRun.push_back("locate");
        return true;
    };
    data.full.hooks.plan = [&](FullJobAccess& job) {
        if (!allowJob) {
            job.refuse("Please Type Folder Name.");
            return false;
        }
        job.addArchive({base + "/main", job.archivePath("one.dat"), true});
        job.addArchive({base + "/mail", job.archivePath("two.dat"), false});
        return true;
    };
    data.full.hooks.beforePacking = [&](FullJobAccess&) { hooksRun.push_back("before packing"); };
    data.full.hooks.afterPacking = [&](FullJobAccess&) { hooksRun.push_back("after packing"); };
    data.full.hooks.beforeUnpacking = [&](FullJobAccess&) {
        hooksRun.push_back("before unpacking");
    };
    data.full.hooks.afterUnpacking = [&](FullJobAccess& job) {
        hooksRun.push_back("after unpacking " +
                           std::to_string(dynamic_cast<FullJob&>(job).archives().size()));
    };

    const auto services = test::plainServices();
    Wizard<FullJob> w(*services, data);
    RecordingReporter& reporter = w.reporter;
    FullJob& job = w.job;
    EXPECT_TRUE(job.activate());
    ASSERT_EQ(job.backup(base + "/backups"), JobOutcome::Done);
    EXPECT_EQ(storedPaths(dir / "backups/one.dat"), std::vector<std::string>{"settings.ini"});
    EXPECT_EQ(storedPaths(dir / "backups/two.dat"), std::vector<std::string>{"inbox.mbs"});

    writeFile(dir / "main/settings.ini", "changed");
    writeFile(dir / "mail/inbox.mbs", "changed");
    fs::remove(dir / "backups/two.dat");
    ASSERT_EQ(job.restore(base + "/backups"), JobOutcome::Done);
    EXPECT_EQ(readFile(dir / "main/settings.ini"), "main");
    EXPECT_EQ(readFile(dir / "mail/inbox.mbs"), "changed") << "an optional archive is skipped";
    EXPECT_EQ(hooksRun, (std::vector<std::string>{"locate", "before packing", "after packing",
                                                  "before unpacking", "after unpacking 1"}));

    allowJob = false;
    reporter.log.clear();
    EXPECT_EQ(job.backup(base + "/backups"), JobOutcome::Refused);
    EXPECT_EQ(reporter.log, std::vector<std::string>{"refused: Please Type Folder Name."});
}

// A browser whose full job stages the items of its selective table with its
// own step table (Internet Explorer's way): the item runner drives it.
TEST(FullJobStagedItems, TheSelectiveItemsGoIntoTheArchiveWithTheFullJobsOwnSteps) {
    TempDir dir;
    writeFile(dir / "home/bookmarks.html", "marks");
    writeFile(dir / "home/a.ini", "a");
    writeFile(dir / "home/b.ini", "b");
    writeFile(dir / "home/Recovery/last.dat", "session");
    fs::create_directories(dir / "backups/fbackup_x");
    writeFile(dir / "backups/fbackup_x/users-own.txt", "kept");
    const std::string home = pathToUtf8(dir / "home");
    const std::string backups = pathToUtf8(dir / "backups");

    BrowserDataSet data = firefoxDataSet();
    data.selective.items = {
        {.checkBox = "CheckBox1",
         .key = "marks",
         // The selective windows step before the item; the full job does not.
         .entries = {progressStep(70, JobKind::Both, WizardKind::Selective),
                     file("bookmarks.html", ItemHome::Cookies)}},
        {.checkBox = "CheckBox2",
         .key = "recovery",
         .entries = {folder("Recovery", ItemHome::Cookies)}},
        {.checkBox = "CheckBox3",
         .key = "settings",
         .entries = {file("a.ini", ItemHome::Cookies), progressStep(5),
                     file("b.ini", ItemHome::Cookies)}},
    };
    data.full.archiveName = "fbackup_x.dat";
    data.full.searchesAtJobStart = true;
    data.full.staged = {.items = {{"CheckBox1", 3, 3}, {"CheckBox2", 4, 4}, {"CheckBox3", 6, 0}},
                        .stagingName = "fbackup_x",
                        .openingStep = 1,
                        .stagedStep = 2};
    data.full.hooks.locate = [&](FullJobAccess& job) {
        job.state().cook = home;
        return true;
    };

    const auto services = test::plainServices();
    Wizard<FullJob> w(*services, data);
    EXPECT_TRUE(w.job.activate());
    EXPECT_TRUE(w.state.cook.empty()) << "searched at Next, not at activation";
    ASSERT_EQ(w.job.backup(backups), JobOutcome::Done);
    EXPECT_EQ(storedPaths(dir / "backups/fbackup_x.dat"),
              (std::vector<std::string>{"Recovery/last.dat", "a.ini", "b.ini", "bookmarks.html"}));
    EXPECT_EQ(w.reporter.progress,
              (std::vector<std::string>{"show", "1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(w.reporter.log, (std::vector<std::string>{"busy", "started", "idle", "finished"}));
    // The staging folder is gone; the user's folder of its name is untouched.
    EXPECT_EQ(readTree(dir / "backups/fbackup_x"),
              (std::map<std::string, std::string>{{"users-own.txt", "kept"}}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "backups"), fs::directory_iterator()), 2);

    writeFile(dir / "home/a.ini", "changed");
    fs::remove_all(dir / "home/Recovery");
    w.reporter.progress.clear();
    ASSERT_EQ(w.job.restore(backups), JobOutcome::Done);
    EXPECT_EQ(readFile(dir / "home/a.ini"), "a");
    EXPECT_EQ(readFile(dir / "home/Recovery/last.dat"), "session");
    EXPECT_EQ(w.reporter.progress, (std::vector<std::string>{"show", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "backups"), fs::directory_iterator()), 2);

    // A stop while packing leaves the previous archive and no staging folder.
    const std::string previous = readFile(dir / "backups/fbackup_x.dat");
    Wizard<FullJob> stopped(*services, data);
    stopped.reporter.stopAfter = 0;
    EXPECT_EQ(stopped.job.backup(backups), JobOutcome::Stopped);
    EXPECT_EQ(readFile(dir / "backups/fbackup_x.dat"), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "backups"), fs::directory_iterator()), 2);
}

} // namespace
} // namespace vellarion
