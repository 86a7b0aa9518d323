// Kept versions: stamped names, the order the restore windows show, the
// stamp of a new version, and retention that never loses the last good one.
#include "core/schedule/KeptVersions.h"

#include "FileTree.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/services/PathMapper.h"
#include "core/services/ServicesFactory.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::namesIn;
using test::TempDir;
using namespace std::chrono_literals;

std::string s(const fs::path& p) {
    return pathToUtf8(p);
}

std::unique_ptr<SystemServices> services(const TempDir& home) {
    return makeSystemServices({.native = true}, ProcessEnvironment{.home = s(home.path())});
}

// The moment of a local time, as a clock would give it.
std::chrono::system_clock::time_point at(int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&t));
}

// A sound archive of a small tree at `path`.
void writeArchive(const fs::path& path, const std::string& content) {
    TempDir tree;
    test::writeFile(tree / "prefs.js", content);
    TJvZlibMultiple codec;
    codec.CompressDirectory(s(tree.path()), true, s(path));
}

// Bytes that do not compress, so that an archive's middle is its data.
std::string noise(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

// The archive with bytes in its middle overwritten: it no longer reads whole.
void damage(const fs::path& path) {
    std::string bytes = test::readFile(path);
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 8 && i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    }
    test::writeFile(path, bytes);
}

TEST(KeptVersions, StampedNamesAreTakenApartOnlyWhenWhollyOurs) {
    EXPECT_EQ(stampedName("default.dat", "2026-12-09 221700"), "default 2026-12-09 221700.dat");
    EXPECT_EQ(stampedName("fbackup_firefox.dat", ""), "fbackup_firefox.dat");
    EXPECT_EQ(stampOf(at(9, 22, 17, 0)), "2026-12-09 221700");

    const auto split = splitStamped("Work Profile 2026-12-09 221700.dat");
    ASSERT_TRUE(split);
    EXPECT_EQ(split->fixedName, "Work Profile.dat");
    EXPECT_EQ(split->stamp, "2026-12-09 221700");
    for (const char* foreign :
         {"default.dat", "default 2026-12-09.dat", "default 2026-12-09 2217.dat",
          "default-2026-12-09 221700.dat", "default 2026-12-09 22170x.dat",
          " 2026-12-09 221700.dat", "default 2026-12-09 221700.dat.tmp"}) {
        SCOPED_TRACE(foreign);
        EXPECT_EQ(stampIn(foreign, "default.dat"), std::nullopt);
    }
    EXPECT_EQ(stampIn("Default 2026-12-09 221700.dat", "default.dat"), std::nullopt);

    std::vector<std::string> listed{
        "backup_ie.dat", "default 2026-12-08 090000.dat", "default 2026-12-10 090000.dat",
        "default.dat",   "default 2026-12-09 090000.dat", "Work 2026-12-01 000000.dat"};
    orderNewestFirst(listed);
    EXPECT_EQ(listed, (std::vector<std::string>{"backup_ie.dat", "default 2026-12-10 090000.dat",
                                                "default 2026-12-09 090000.dat",
                                                "default 2026-12-08 090000.dat", "default.dat",
                                                "Work 2026-12-01 000000.dat"}));
}

TEST(KeptVersions, ANewVersionIsStampedByTheClockAndNeverTakesAName) {
    TempDir home;
    const auto sys = services(home);
    const fs::path dir = home / "backups";
    fs::create_directories(dir);
    const Clock nine = [] { return at(10, 9, 0, 0); };
    EXPECT_EQ(freeStamp(*sys, s(dir), {"default.dat"}, nine), "2026-12-10 090000");

    // Two backups in one second; a link or a folder has the name too.
    test::writeFile(dir / "default 2026-12-10 090000.dat", "x");
    fs::create_directory(dir / "default 2026-12-10 090001.dat");
    fs::create_symlink("nowhere", dir / "default 2026-12-10 090002.dat");
    EXPECT_EQ(freeStamp(*sys, s(dir), {"default.dat"}, nine), "2026-12-10 090003");
    // Versions stamped later than the clock (a clock that was wrong, one
    // past what a time point holds) are not followed.
    test::writeFile(dir / "default 2099-01-01 000000.dat", "x");
    test::writeFile(dir / "default 2262-04-12 000000.dat", "x");
    EXPECT_EQ(freeStamp(*sys, s(dir), {"default.dat"}, nine), "2026-12-10 090003");
    // Another profile's versions do not count.
    EXPECT_EQ(freeStamp(*sys, s(dir), {"Work.dat"}, nine), "2026-12-10 090000");
    // Quick runs stamped ahead of the clock are followed, though the oldest
    // was deleted meanwhile: the new one is the newest still.
    test::writeFile(dir / "Work 2026-12-10 090001.dat", "x");
    test::writeFile(dir / "Work 2026-12-10 090002.dat", "x");
    EXPECT_EQ(freeStamp(*sys, s(dir), {"Work.dat"}, nine), "2026-12-10 090003");
    // The next second carries over into the next year.
    test::writeFile(dir / "Work 2026-12-31 235959.dat", "x");
    EXPECT_EQ(freeStampFrom(*sys, s(dir), {"Work.dat"}, "2026-12-31 235959"), "2027-01-01 000000");
    EXPECT_EQ(restamped(s(dir / "Work 2026-12-31 235959.dat"), "2027-01-01 000000"),
              s(dir / "Work 2027-01-01 000000.dat"));
}

TEST(KeptVersions, OnlyPlainFilesStampedWithARealMomentAreVersions) {
    TempDir home;
    const auto sys = services(home);
    const fs::path dir = home / "backups";
    fs::create_directories(dir);
    writeArchive(dir / "default 2026-12-01 120000.dat", "old");
    writeArchive(dir / "target.dat", "the link's target");
    const std::vector<std::string> notVersions{
        "default 9999-99-99 999999.dat", "default 2026-02-30 120000.dat",
        "default 2025-02-29 120000.dat", "default 2026-13-01 120000.dat",
        "default 2026-00-10 120000.dat", "default 2026-12-00 120000.dat",
        "default 2026-12-01 240000.dat", "default 2026-12-01 126000.dat",
        "default 2026-12-01 120060.dat", "default 1700-01-01 000000.dat"};
    for (const std::string& name : notVersions) {
        test::writeFile(dir / name, "mine");
    }
    fs::create_symlink(dir / "target.dat", dir / "default 2026-11-01 120000.dat");
    fs::create_directory(dir / "default 2026-10-01 120000.dat");
    EXPECT_EQ(splitStamped("default 2024-02-29 120000.dat")->stamp, "2024-02-29 120000");
    EXPECT_EQ(keptVersions(*sys, s(dir), "default.dat"),
              std::vector<std::string>{"2026-12-01 120000"});

    // Keep one: the new version stays; the old one goes; nothing else is
    // touched, the link's target neither.
    writeArchive(dir / "default 2026-12-10 090000.dat", "new");
    const NewVersion kept =
        checkAndKeep(*sys, {s(dir / "default 2026-12-10 090000.dat")}, 1, nullptr);
    EXPECT_EQ(kept.retention.deleted,
              std::vector<std::string>{s(dir / "default 2026-12-01 120000.dat")});
    for (const std::string& name : notVersions) {
        EXPECT_EQ(test::readFile(dir / name), "mine") << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "default 2026-11-01 120000.dat"));
    EXPECT_TRUE(fs::is_directory(dir / "default 2026-10-01 120000.dat"));
    EXPECT_TRUE(fs::exists(dir / "target.dat"));
    EXPECT_TRUE(fs::exists(dir / "default 2026-12-10 090000.dat"));
}

TEST(KeptVersions, TheVersionJustWrittenOutlivesVersionsStampedInTheFuture) {
    TempDir home;
    const auto sys = services(home);
    const fs::path dir = home / "backups";
    fs::create_directories(dir);
    for (const char* name :
         {"fbackup_firefox 2099-01-01 000000.dat", "fbackup_firefox 2262-04-12 000000.dat",
          "fbackup_firefox 2026-12-01 120000.dat"}) {
        writeArchive(dir / name, name);
    }
    const std::string fresh = s(dir / "fbackup_firefox 2026-12-10 090000.dat");
    writeArchive(fresh, "new");
    const NewVersion kept = checkAndKeep(*sys, {fresh}, 2, nullptr);
    EXPECT_EQ(kept.damage, "");
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_EQ(kept.retention.future,
              (std::vector<std::string>{s(dir / "fbackup_firefox 2262-04-12 000000.dat"),
                                        s(dir / "fbackup_firefox 2099-01-01 000000.dat")}));
    // Two stay: the new one and the newest other; what is beyond goes.
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"fbackup_firefox 2026-12-10 090000.dat",
                                                      "fbackup_firefox 2262-04-12 000000.dat"}));
    const NewVersion alone = checkAndKeep(*sys, {fresh}, 1, nullptr);
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"fbackup_firefox 2026-12-10 090000.dat"});
    EXPECT_EQ(alone.retention.deleted.size(), 1u);
}

TEST(KeptVersions, RetentionKeepsTheNewestAndLeavesWhatItDidNotWrite) {
    TempDir home;
    const auto sys = services(home);
    const fs::path dir = home / "backups";
    fs::create_directories(dir);
    for (int day = 1; day <= 5; ++day) {
        writeArchive(dir / ("default 2026-12-0" + std::to_string(day) + " 120000.dat"), "v");
    }
    // Another profile's versions, the plain archive, foreign files.
    writeArchive(dir / "Work 2026-11-01 120000.dat", "w");
    writeArchive(dir / "default.dat", "plain");
    test::writeFile(dir / "default old.dat", "mine");
    test::writeFile(dir / "default 2026-12-01.dat", "mine too");
    int checked = 0;
    const Retention kept = keepNewest(*sys, s(dir), {"default.dat"}, 3, [&](const std::string&) {
        ++checked;
        return true;
    });
    EXPECT_EQ(kept.deleted.size(), 2u);
    // Only the newest was read: the older ones need no check.
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(namesIn(dir),
              (std::vector<std::string>{
                  "Work 2026-11-01 120000.dat", "default 2026-12-01.dat",
                  "default 2026-12-03 120000.dat", "default 2026-12-04 120000.dat",
                  "default 2026-12-05 120000.dat", "default old.dat", "default.dat"}));
}

TEST(KeptVersions, ADamagedNewestVersionKeepsTheLastGoodOne) {
    TempDir home;
    const auto sys = services(home);
    const fs::path dir = home / "backups";
    fs::create_directories(dir);
    for (int day = 1; day <= 4; ++day) {
        writeArchive(dir / ("default 2026-12-0" + std::to_string(day) + " 120000.dat"),
                     noise(4000, static_cast<unsigned>(day)));
    }
    damage(dir / "default 2026-12-04 120000.dat");
    damage(dir / "default 2026-12-03 120000.dat");
    const auto sound = [&](const std::string& path) {
        return archiveDamage(sys->paths(), path, nullptr).empty();
    };
    EXPECT_FALSE(sound(s(dir / "default 2026-12-03 120000.dat")));

    // Keep two: both are damaged, so the good one of the 2nd stays; only
    // what is older than a good version goes.
    const Retention kept = keepNewest(*sys, s(dir), {"default.dat"}, 2, sound);
    EXPECT_EQ(kept.keptBeyondCount,
              std::vector<std::string>{s(dir / "default 2026-12-02 120000.dat")});
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"default 2026-12-02 120000.dat",
                                                      "default 2026-12-03 120000.dat",
                                                      "default 2026-12-04 120000.dat"}));

    // A new version that does not read whole touches no older one.
    writeArchive(dir / "default 2026-12-05 120000.dat", noise(4000, 5));
    damage(dir / "default 2026-12-05 120000.dat");
    const NewVersion failed =
        checkAndKeep(*sys, {s(dir / "default 2026-12-05 120000.dat")}, 1, nullptr);
    EXPECT_NE(failed.damage.find("default 2026-12-05 120000.dat: "), std::string::npos)
        << failed.damage;
    EXPECT_EQ(namesIn(dir).size(), 4u);

    // A sound one lets everything beyond the count go, the damaged too.
    writeArchive(dir / "default 2026-12-06 120000.dat", "good again");
    const NewVersion good =
        checkAndKeep(*sys, {s(dir / "default 2026-12-06 120000.dat")}, 1, nullptr);
    EXPECT_EQ(good.damage, "");
    EXPECT_EQ(good.retention.deleted.size(), 4u);
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"default 2026-12-06 120000.dat"});
}

TEST(KeptVersions, ABrowsersArchivesStampedAlikeGoTogether) {
    TempDir home;
    const auto sys = services(home);
    const fs::path dir = home / "backups";
    fs::create_directories(dir);
    for (int day = 1; day <= 3; ++day) {
        const std::string stamp = "2026-12-0" + std::to_string(day) + " 120000";
        writeArchive(dir / stampedName("fbackup_opera.dat", stamp), "data");
        // The mail archive is optional: the 2nd version has none.
        if (day != 2) {
            writeArchive(dir / stampedName("fbackup_opera2.dat", stamp), "mail");
        }
    }
    const NewVersion kept = checkAndKeep(*sys,
                                         {s(dir / "fbackup_opera 2026-12-03 120000.dat"),
                                          s(dir / "fbackup_opera2 2026-12-03 120000.dat")},
                                         2, nullptr);
    EXPECT_EQ(kept.damage, "");
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"fbackup_opera 2026-12-02 120000.dat",
                                                      "fbackup_opera 2026-12-03 120000.dat",
                                                      "fbackup_opera2 2026-12-03 120000.dat"}));
}

#ifndef _WIN32
// Another run of the program takes the version's name while this one packs.
struct NameTakenMeanwhile : JobReporter {
    fs::path name;
    void fileStarted(const std::string&) override {
        if (!name.empty() && !fs::exists(name)) {
            test::writeFile(name, "another run's archive");
        }
    }
};

TEST(KeptVersions, TwoRunsInOneSecondNeverWriteOneName) {
    test::SamplePrefixFixture prefix({.browsers = {Browser::Firefox}});
    TempDir backups;
    const Clock nine = [] { return at(10, 9, 0, 0); };
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "full" : "selective");
        NameTakenMeanwhile other;
        const std::string fixed = full ? "fbackup_firefox.dat" : "default.dat";
        other.name = backups / stampedName(fixed, "2026-12-10 090000");
        WizardState state;
        std::string written;
        if (full) {
            FullJob job(prefix.services(), firefoxDataSet(), state, other);
            job.keepVersions(nine);
            ASSERT_TRUE(job.locate());
            ASSERT_EQ(job.backup(s(backups.path())), JobOutcome::Done);
            written = job.archives().at(0).archive;
        } else {
            SelectiveJob job(prefix.services(), firefoxDataSet(), state, other);
            job.keepVersions(nine);
            ASSERT_TRUE(job.activate());
            const auto& entries = job.profiles.entries;
            job.profiles.selected = static_cast<int>(
                std::find(entries.begin(), entries.end(), "abcd1234.default") - entries.begin());
            SelectiveChoices choices;
            choices.backupLocation = s(backups.path());
            choices.customLocation = std::string(kCustomProfilePlaceholder);
            choices.ticked = [](std::string_view) { return true; };
            ASSERT_EQ(job.backup(choices), JobOutcome::Done);
            written = job.archivePath();
        }
        EXPECT_EQ(written, s(backups / stampedName(fixed, "2026-12-10 090001")));
        EXPECT_EQ(test::readFile(other.name), "another run's archive");
        EXPECT_TRUE(archiveDamage(prefix.services().paths(), written, nullptr).empty());
    }
}

TEST(KeptVersions, JobsWriteStampedVersionsAndRestoreTheNewest) {
    test::SamplePrefixFixture prefix({.browsers = {Browser::Firefox}});
    TempDir backups;
    const std::string location = s(backups.path());
    const fs::path prefs = prefix.onDriveC(
        "users/demo/AppData/Roaming/Mozilla/Firefox/Profiles/abcd1234.default/prefs.js");
    JobReporter quiet;
    const auto fullJob = [&](WizardState& state) {
        return std::make_unique<FullJob>(prefix.services(), firefoxDataSet(), state, quiet);
    };
    // Three backups an hour apart, by the job's clock.
    for (int hour = 9; hour <= 11; ++hour) {
        test::writeFile(prefs, "at " + std::to_string(hour));
        WizardState state;
        const auto job = fullJob(state);
        job->keepVersions([hour] { return at(10, hour, 0, 0); });
        ASSERT_TRUE(job->locate());
        ASSERT_EQ(job->backup(location), JobOutcome::Done);
        ASSERT_EQ(job->archives().size(), 1u);
        EXPECT_EQ(lastName(job->archives()[0].archive),
                  stampedName("fbackup_firefox.dat", stampOf(at(10, hour, 0, 0))));
    }
    // No plain archive: the newest version, and it again on the next run.
    for (int run = 0; run < 2; ++run) {
        test::writeFile(prefs, "changed");
        WizardState state;
        const auto job = fullJob(state);
        ASSERT_TRUE(job->locate());
        ASSERT_EQ(job->archiveToRestore(location), "2026-12-10 110000");
        ASSERT_EQ(job->restore(location), JobOutcome::Done);
        EXPECT_EQ(test::readFile(prefs), "at 11");
        if (run == 0) {
            job->stampArchives("2026-12-10 090000");
            ASSERT_EQ(job->restore(location), JobOutcome::Done);
            EXPECT_EQ(test::readFile(prefs), "at 9");
        }
    }

    // The selective restore window's list: newest first, the newest chosen.
    WizardState state;
    SelectiveJob selective(prefix.services(), firefoxDataSet(), state, quiet);
    test::writeFile(backups / "default 2026-12-09 230000.dat", "");
    test::writeFile(backups / "default 2026-12-10 080000.dat", "");
    selective.listArchives(location);
    EXPECT_EQ(selective.archives.entries,
              (std::vector<std::string>{
                  "default 2026-12-10 080000.dat", "default 2026-12-09 230000.dat",
                  "fbackup_firefox 2026-12-10 110000.dat", "fbackup_firefox 2026-12-10 100000.dat",
                  "fbackup_firefox 2026-12-10 090000.dat"}));
    EXPECT_EQ(selective.archives.selection(), "default 2026-12-10 080000.dat");
}
#endif

} // namespace
} // namespace vellarion
