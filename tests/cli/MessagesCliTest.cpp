// Messages that say what to do: a backup location that is not there or
// holds no backup names the folder and what it holds; a backup on a terminal
// says how to restore it into a new profile; a restore names the profile's
// folder as a path is written; warnings only where the user can act.
#include "CliRunner.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

class CliMessages : public ::testing::Test {
protected:
    Result onSample(std::vector<std::string> args, bool terminal = false) {
        args.insert(args.end(), {"--prefix", s(fx.sample().prefix), "--user", "demo"});
        return Cli(std::move(args), terminal).wait();
    }

    SamplePrefixFixture fx;
    TempDir dir;
    fs::path backups = dir / "backups";
};

TEST_F(CliMessages, ARestoreFromAFolderWithoutItsBackupSaysWhatTheFolderHolds) {
    const struct {
        const char* name;
        std::vector<std::string> files;
        std::string said;
    } cases[] = {
        {"missing", {}, ""},
        {"empty", {}, " holds no backup of this profile (default.dat). It holds no archive (.dat) "
                      "at all.\n"},
        {"other", {"Default.dat", "notes.txt", "fbackup_chrome.dat"},
         " holds no backup of this profile (default.dat). It holds: Default.dat, "
         "fbackup_chrome.dat; name one with --archive.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = dir / c.name;
        if (c.name != std::string("missing")) {
            fs::create_directories(folder);
        }
        for (const std::string& file : c.files) {
            writeFile(folder / file, "x");
        }
        const Result r = onSample({"restore", "firefox", "--from", s(folder)});
        EXPECT_EQ(r.exitCode, 1);
        if (c.name == std::string("missing")) {
            EXPECT_EQ(r.err, "vellarion-cli: The folder " + s(folder) + " does not exist.\n");
            EXPECT_FALSE(fs::exists(folder));
        } else {
            EXPECT_EQ(r.err, "vellarion-cli: " + s(folder) + c.said);
        }
    }
}

TEST_F(CliMessages, ABackupOnATerminalSaysHowToRestoreItIntoANewProfile) {
    const Result chrome =
        onSample({"backup", "chrome", "--to", s(backups), "--items", "bookmarks"}, true);
    ASSERT_EQ(chrome.exitCode, 0) << chrome.err;
    EXPECT_NE(chrome.err.find("vellarion-cli: To restore it into a new profile: restore chrome "
                              "--from " +
                              s(backups) + " --archive Default.dat --new-profile NAME"),
              std::string::npos)
        << chrome.err;
    // Not for a script: its stderr holds what went wrong only.
    const Result script = onSample(
        {"backup", "chrome", "--to", s(backups), "--items", "bookmarks", "--replace"});
    ASSERT_EQ(script.exitCode, 0) << script.err;
    EXPECT_EQ(script.err, "");
    // A browser without profiles has no new one to make.
    const Result ie = onSample({"backup", "ie", "--to", s(backups)}, true);
    ASSERT_EQ(ie.exitCode, 0) << ie.err;
    EXPECT_EQ(ie.err.find("new profile"), std::string::npos) << ie.err;
}

TEST_F(CliMessages, ARestoreNamesTheProfilesFolderWithoutATrailingSeparator) {
    for (const char* browser : {"firefox", "chrome", "opera", "safari", "ie", "edge"}) {
        SCOPED_TRACE(browser);
        const Result packed = onSample({"backup", browser, "--to", s(backups), "--replace"});
        ASSERT_EQ(packed.exitCode, 0) << packed.err;
        const std::string archive = fs::path(packed.out.substr(0, packed.out.find('\n')))
                                        .filename()
                                        .string();
        const Result restored =
            onSample({"restore", browser, "--from", s(backups), "--archive", archive});
        ASSERT_EQ(restored.exitCode, 0) << restored.err;
        ASSERT_FALSE(restored.out.empty());
        EXPECT_NE(restored.out[restored.out.size() - 2], '/') << restored.out;
        EXPECT_TRUE(fs::is_directory(restored.out.substr(0, restored.out.size() - 1)))
            << restored.out;
    }
}

TEST_F(CliMessages, ItemsSimplyAbsentAreOneLineAndARestoreHereNoWarning) {
    // A profile with bookmarks only: the other items are absent, not faults.
    const fs::path profile = dir / "profile";
    writeFile(profile / "bookmarks.html", "<html></html>");
    writeFile(profile / "prefs.js", "user_pref(\"a\", 1);\n");
    const Result packed = run({"backup", "firefox", "--to", s(backups), "--custom-profile",
                               s(profile), "--items", "bookmarks,history,cookies,sessions"});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(packed.err, "vellarion-cli: Not in this profile: sessions, cookies, history\n"
                          "vellarion-cli: warning: the archive holds passwords and cookies "
                          "readable by anyone who gets the file (--encrypt protects them)\n");
    // Its restore with every item ticked: one line, not one each.
    const Result restored =
        onSample({"restore", "firefox", "--from", s(backups), "--archive", "ff_custom.dat"});
    ASSERT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(std::count(restored.err.begin(), restored.err.end(), '\n'), 1) << restored.err;
    EXPECT_TRUE(restored.err.starts_with("vellarion-cli: Not in this archive: ")) << restored.err;

    // The Chromium family's passwords and cookies restored on the account
    // they were saved on: no word of other computers.
    const Result chrome = onSample(
        {"backup", "chrome", "--to", s(backups), "--items", "passwords,cookies", "--replace"});
    ASSERT_EQ(chrome.exitCode, 0) << chrome.err;
    const Result back = onSample({"restore", "chrome", "--from", s(backups), "--archive",
                                  "Default.dat", "--items", "passwords,cookies"});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(back.err, "");
}

} // namespace
} // namespace vellarion::test
