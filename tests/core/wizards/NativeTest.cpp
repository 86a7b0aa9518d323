// The browsers of this machine itself, without a Windows prefix: which
// environment is chosen, where Firefox and Chrome keep their data in a home
// folder, their profiles listed, backed up, wiped and restored, and a
// restored folder made one of Firefox's profiles.
#include "BrowserProfiles.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "TempDir.h"
#include "core/browsers/FirefoxProfiles.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/SelectiveJob.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::readTree;
using test::TempDir;
using test::writeFile;
using ::testing::ElementsAre;
using Wizard = test::Wizard<SelectiveJob>;

std::string s(const fs::path& p) {
    return pathToUtf8(p);
}

TEST(NativeEnvironment, IsTheDefaultWithoutAWindowsPrefixAndNamesItself) {
    TempDir home;
    const ProcessEnvironment env{.home = s(home.path()), .login = "bob"};
    const auto native = makeSystemServices({}, env);
    EXPECT_EQ(native->environmentInfo().kind, EnvironmentInfo::Kind::Native);
    EXPECT_EQ(native->environmentInfo().describe(),
              "this machine's own browsers (home " + s(home.path()) + ")");
    EXPECT_EQ(native->nativeFolders(),
              (TemplateVars{{"home", s(home.path())}, {"config", s(home / ".config")}}));

    ProcessEnvironment xdg = env;
    xdg.xdgConfigHome = s(home / "elsewhere");
    EXPECT_EQ(makeSystemServices({}, xdg)->nativeFolders().back().second, s(home / "elsewhere"));

    // A Wine prefix that merely exists in the home does not hide the
    // machine's own browsers; one named by $WINEPREFIX or --prefix does.
    fs::create_directories(home / ".wine" / "drive_c");
    EXPECT_EQ(makeSystemServices({}, env)->environmentInfo().kind, EnvironmentInfo::Kind::Native);
    ProcessEnvironment named = env;
    named.winePrefix = s(home / ".wine");
    const auto wine = makeSystemServices({}, named);
    EXPECT_EQ(wine->environmentInfo().describe(), "the Windows prefix " + s(home / ".wine"));
    EXPECT_TRUE(wine->nativeFolders().empty());
    EXPECT_EQ(makeSystemServices({.prefix = s(home / ".wine")}, env)->environmentInfo().kind,
              EnvironmentInfo::Kind::Prefix);
    EXPECT_EQ(makeSystemServices({.native = true}, named)->environmentInfo().kind,
              EnvironmentInfo::Kind::Native);
}

class NativeHome : public ::testing::Test {
protected:
    NativeHome() : services(makeSystemServices({}, {.home = s(home.path()), .login = "bob"})) {
        fs::create_directories(backups);
    }

    SelectiveChoices everything(std::string custom = {}) const {
        SelectiveChoices c;
        c.backupLocation = s(backups);
        c.customLocation = custom.empty() ? std::string(kCustomProfilePlaceholder) : custom;
        c.ticked = [](std::string_view) { return true; };
        return c;
    }
    // The profile of that name chosen after an activation.
    void choose(Wizard& w, std::string_view name) {
        ASSERT_TRUE(w.job.activate()) << w.reporter.messages.front();
        const auto& entries = w.job.profiles.entries;
        const auto it = std::find(entries.begin(), entries.end(), name);
        ASSERT_NE(it, entries.end()) << name;
        w.job.profiles.selected = static_cast<int>(it - entries.begin());
        w.job.listArchives(s(backups));
    }

    TempDir home;
    TempDir elsewhere;
    fs::path backups = home / "backups";
    std::unique_ptr<SystemServices> services;
};

TEST_F(NativeHome, FirefoxProfilesComeFromProfilesIniAndGoBackWhole) {
    // The XDG home of newer versions, with one profile beside the list and
    // one anywhere at all; the installation's default first.
    const fs::path root = home / ".config" / "mozilla" / "firefox";
    const fs::path work = elsewhere / "wxyz9876.work";
    test::writeCurrentFirefoxProfile(root / "abcd1234.default-release");
    test::writeCurrentFirefoxProfile(work);
    writeFile(
        root / "profiles.ini",
        "[Profile1]\nName=default\nIsRelative=1\nPath=lost1234.default\nDefault=1\n\n"
        "[Profile0]\nName=work\nIsRelative=0\nPath=" +
            s(work) +
            "\n\n"
            "[Profile2]\nName=default-release\nIsRelative=1\nPath=abcd1234.default-release\n\n"
            "[Install4F96D1932A9F858E]\nDefault=abcd1234.default-release\nLocked=1\n\n"
            "[General]\nStartWithLastProfile=1\nVersion=2\n");
    Wizard w(*services, firefoxDataSet());
    choose(w, "wxyz9876.work");
    EXPECT_EQ(w.state.ffpath, s(root) + "/");
    // The profile whose folder is gone is not offered.
    EXPECT_EQ(w.job.profiles.entries,
              (std::vector<std::string>{"abcd1234.default-release", "wxyz9876.work"}));

    std::map<std::string, std::string> before = readTree(work);
    ASSERT_EQ(w.job.backup(everything()), JobOutcome::Done);
    EXPECT_EQ(w.job.archivePath(), s(backups) + "/work.dat");
    fs::remove_all(work);
    fs::create_directories(work);
    Wizard back(*services, firefoxDataSet());
    choose(back, "wxyz9876.work");
    ASSERT_EQ(back.job.restore(everything()), JobOutcome::Done);
    for (const char* notData : {"times.json", "cache2/entries/0A1B", ".parentlock", "parent.lock",
                                "permissions.sqlite-journal"}) {
        before.erase(notData);
    }
    EXPECT_TRUE(readTree(work) == before) << "every file back, byte for byte";
    EXPECT_EQ(test::rowsIn(work / "places.sqlite", "moz_places"), 40);

    // The classic home comes first where both are there.
    writeFile(home / ".mozilla" / "firefox" / "profiles.ini", "[General]\nVersion=2\n");
    Wizard classic(*services, firefoxDataSet());
    ASSERT_TRUE(classic.job.activate());
    EXPECT_EQ(classic.state.ffpath, s(home / ".mozilla" / "firefox") + "/");
    EXPECT_TRUE(classic.job.profiles.entries.empty());
}

TEST_F(NativeHome, ARestoredFolderBecomesAFirefoxProfileWithOneMoreEntry) {
    const fs::path root = home / ".mozilla" / "firefox";
    test::writeCurrentFirefoxProfile(root / "abcd1234.default");
    const std::string ini =
        "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=abcd1234.default\r\n"
        "Default=1\r\n\r\n[General]\r\nStartWithLastProfile=1\r\n";
    writeFile(root / "profiles.ini", ini);
    Wizard backup(*services, firefoxDataSet());
    choose(backup, "abcd1234.default");
    ASSERT_EQ(backup.job.backup(everything()), JobOutcome::Done);

    const fs::path copy = elsewhere / "restored";
    Wizard restore(*services, firefoxDataSet());
    choose(restore, "abcd1234.default");
    SelectiveChoices into = everything(s(copy));
    into.registerProfile = true;
    ASSERT_EQ(restore.job.restore(into), JobOutcome::Done);
    EXPECT_TRUE(fs::exists(copy / "logins.json"));
    const std::string after = readFile(root / "profiles.ini");
    // Every byte that was there stays; one section follows, as Firefox
    // writes them: a blank line before it, the file's own line endings.
    EXPECT_EQ(after,
              ini + "\r\n[Profile1]\r\nName=restored\r\nIsRelative=0\r\nPath=" + s(copy) + "\r\n");
    const std::vector<ListedProfile> listed = listedProfiles(after, s(root));
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed.back().path, s(copy));
}

TEST_F(NativeHome, ChromiumUserDataIsFoundByItsLocalStateAndGoesBackWhole) {
    const fs::path userData = home / ".config" / "chromium";
    test::writeCurrentChromeUserData(userData);
    writeFile(userData / "Profile 1" / "Preferences", "{}");
    test::Wizard<FullJob> full(*services, chromiumDataSet());
    ASSERT_TRUE(full.job.activate());
    EXPECT_EQ(full.state.ffpath, s(userData));

    Wizard w(*services, chromiumDataSet());
    choose(w, "Default");
    EXPECT_EQ(w.job.profiles.entries, (std::vector<std::string>{"Default", "Profile 1"}));
    std::map<std::string, std::string> before = readTree(userData);
    ASSERT_EQ(w.job.backup(everything()), JobOutcome::Done);
    EXPECT_TRUE(test::storedNames(backups / "Default.dat").count("Local State"));

    // The profile lost; Chromium's own key stays where it is.
    fs::remove_all(userData / "Default");
    writeFile(userData / "Default" / "Preferences", "{}"); // as Chromium makes it anew
    writeFile(userData / "Local State", "{\"os_crypt\":{\"encrypted_key\":\"made anew\"}}");
    Wizard back(*services, chromiumDataSet());
    choose(back, "Default");
    ASSERT_EQ(back.job.restore(everything()), JobOutcome::Done);
    EXPECT_EQ(readFile(userData / "Local State"),
              "{\"os_crypt\":{\"encrypted_key\":\"made anew\"}}");
    std::map<std::string, std::string> after = readTree(userData / "Default");
    std::map<std::string, std::string> profile;
    for (const auto& [name, content] : before) {
        if (name.starts_with("Default/") && !content.empty() &&
            !name.starts_with("Default/Cache/") && !name.starts_with("Default/GPUCache/")) {
            profile[name.substr(8)] = content;
        }
    }
    EXPECT_TRUE(after == profile) << "the profile back, byte for byte";
    EXPECT_EQ(test::integrityOf(userData / "Default" / "History"), "ok");
}

TEST_F(NativeHome, ABrowserWithoutAVersionHereSaysSo) {
    Wizard safari(*services, safariDataSet());
    EXPECT_FALSE(safari.job.activate());
    EXPECT_THAT(safari.reporter.messages,
                ElementsAre("Safari has no version for this machine: its data is reached in a "
                            "Windows prefix (--prefix) or on a Windows disk (--windows-root)."));
    EXPECT_EQ(safari.job.backup(everything(s(elsewhere.path()))), JobOutcome::Refused);
    EXPECT_TRUE(fs::is_empty(backups));
}

} // namespace
} // namespace vellarion
