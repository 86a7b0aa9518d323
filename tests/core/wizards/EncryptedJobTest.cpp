// Both engines on encrypted archives, as a front end that gives passwords
// runs them: the archives they write open only with the password, and one
// that does not open leaves the profile and the data root as they were.
#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/crypto/EncryptedArchive.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

const std::string kMagic("\0\0VellarionCrypt", 16);

// A front end with a password for new archives and one for the archives it
// is asked about (none: the user gave none), writing the questions down.
class PasswordReporter : public RecordingReporter {
public:
    std::optional<std::string> encryptWith;
    std::optional<std::string> answer;
    std::vector<std::string> asked;

    std::optional<Secret> encryptionPassword() override {
        return encryptWith ? std::optional<Secret>(*encryptWith) : std::nullopt;
    }
    std::optional<Secret> archivePassword(const std::string& path) override {
        asked.push_back(lastName(path));
        return answer ? std::optional<Secret>(*answer) : std::nullopt;
    }
};

#ifndef _WIN32
// Sample prefixes are a POSIX build's; the Windows stage runs the selective
// case below on its own folders.
class EncryptedFullJob : public ::testing::Test {
protected:
    EncryptedFullJob() : w(prefix.services(), firefoxDataSet()) {
        w.reporter.encryptWith = "s3cret";
        w.reporter.answer = "s3cret";
        EXPECT_TRUE(w.job.activate());
    }
    fs::path root() { return *prefix.services().paths().toNative(w.state.ffpath); }
    std::string location() const { return pathToUtf8(backups.path()); }
    fs::path archive() const { return backups / "fbackup_firefox.dat"; }

    SamplePrefixFixture prefix;
    TempDir backups;
    Wizard<FullJob, PasswordReporter> w;
};

TEST_F(EncryptedFullJob, RoundTripsAndAsksOnceForTheArchive) {
    ASSERT_EQ(w.job.backup(location()), JobOutcome::Done);
    const auto saved = readTree(root());
    EXPECT_EQ(readFile(archive()).substr(0, 16), kMagic);
    EXPECT_TRUE(w.reporter.asked.empty());

    writeFile(root() / "profiles.ini", "changed");
    fs::remove_all(root() / "Profiles");
    ASSERT_EQ(w.job.restore(location()), JobOutcome::Done);
    EXPECT_EQ(readTree(root()), saved);
    EXPECT_EQ(w.reporter.asked, std::vector<std::string>{"fbackup_firefox.dat"});
}

TEST_F(EncryptedFullJob, AnArchiveThatDoesNotOpenIsRefusedBeforeAnyWrite) {
    ASSERT_EQ(w.job.backup(location()), JobOutcome::Done);
    writeFile(root() / "profiles.ini", "changed since");
    const auto before = readTree(root());
    const std::string good = readFile(archive());
    std::string flipped = good;
    flipped[flipped.size() - 20] = static_cast<char>(flipped[flipped.size() - 20] ^ 0x80);

    const struct {
        const char* what;
        std::string bytes;
        std::optional<std::string> answer;
        std::string message;
    } cases[] = {
        {"wrong password", good, "S3cret", "Wrong password, or the archive is damaged"},
        {"a tag flipped", flipped, "s3cret", "Wrong password, or the archive is damaged"},
        {"cut short", good.substr(0, good.size() - 1), "s3cret",
         "Wrong password, or the archive is damaged"},
        {"no password given", good, std::nullopt,
         "\"fbackup_firefox.dat\" is encrypted; no password was given for it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(archive(), c.bytes);
        w.reporter.answer = c.answer;
        w.reporter.log.clear();
        EXPECT_EQ(w.job.restore(location()), JobOutcome::Refused);
        EXPECT_EQ(w.reporter.log,
                  (std::vector<std::string>{"busy", "started", "refused: " + c.message, "idle"}));
        EXPECT_TRUE(readTree(root()) == before) << "the data root exactly as it was";
        EXPECT_EQ(entriesOf(root().parent_path()), std::set<std::string>{"Firefox"});
    }
}

TEST_F(EncryptedFullJob, WithoutAPasswordTheArchiveStaysPlainAsBefore) {
    w.reporter.encryptWith.reset();
    ASSERT_EQ(w.job.backup(location()), JobOutcome::Done);
    EXPECT_NE(readFile(archive()).substr(0, 16), kMagic);
    std::vector<std::string> names;
    TJvZlibMultiple().ListStoredFiles(pathToUtf8(archive()), names);
    EXPECT_FALSE(names.empty());
    ASSERT_EQ(w.job.restore(location()), JobOutcome::Done);
    EXPECT_TRUE(w.reporter.asked.empty());
}

#endif

// The selective job unpacks aside first: a wrong password is an error of
// the job, and the profile it would restore into is untouched.
TEST(EncryptedSelectiveJob, RoundTripsAndAWrongPasswordChangesNothing) {
    TempDir dir;
    const fs::path profile = dir / "profile";
    const fs::path backups = dir / "backups";
    writeFile(profile / "prefs.js", "user_pref(\"a\", 1);\n");
    writeFile(profile / "key3.db", noise(5000, 3));
    writeFile(profile / "signons.sqlite", noise(9000, 4));
    writeFile(profile / "cookies.sqlite", noise(70000, 5));
    fs::create_directories(backups);
    const auto services = plainServices();
    SelectiveChoices c;
    c.backupLocation = pathToUtf8(backups);
    c.customLocation = pathToUtf8(profile);
    c.ticked = [](std::string_view) { return true; };

    Wizard<SelectiveJob, PasswordReporter> backup(*services, firefoxDataSet());
    backup.reporter.encryptWith = "pw";
    ASSERT_EQ(backup.job.backup(c), JobOutcome::Done);
    const fs::path archive = backups / "ff_custom.dat";
    EXPECT_EQ(readFile(archive).substr(0, 16), kMagic);

    const fs::path target = dir / "target";
    writeFile(target / "prefs.js", "the target's own");
    const auto before = readTree(target);
    c.customLocation = pathToUtf8(target);
    Wizard<SelectiveJob, PasswordReporter> wrong(*services, firefoxDataSet());
    wrong.reporter.answer = "PW";
    wrong.job.listArchives(pathToUtf8(backups));
    EXPECT_THROW(wrong.job.restore(c), WrongPasswordError);
    EXPECT_EQ(readTree(target), before);
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});

    Wizard<SelectiveJob, PasswordReporter> right(*services, firefoxDataSet());
    right.reporter.answer = "pw";
    right.job.listArchives(pathToUtf8(backups));
    ASSERT_EQ(right.job.restore(c), JobOutcome::Done);
    for (const char* name : {"key3.db", "signons.sqlite", "cookies.sqlite", "prefs.js"}) {
        EXPECT_EQ(readFile(target / name), readFile(profile / name)) << name;
    }
    EXPECT_EQ(right.reporter.asked, std::vector<std::string>{"ff_custom.dat"});
    EXPECT_EQ(entriesOf(backups), std::set<std::string>{"ff_custom.dat"});
}

} // namespace
} // namespace vellarion::test
