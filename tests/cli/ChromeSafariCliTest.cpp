// vellarion-cli's commands for Chrome and Safari, run as a user runs them on
// a sample Windows prefix.
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

class ChromeSafariCli : public ::testing::Test {
protected:
    ChromeSafariCli() { fs::create_directories(backups); }

    Result onSample(std::vector<std::string> args) {
        args.insert(args.end(), {"--prefix", s(fx.sample().prefix), "--user", "demo"});
        return run(std::move(args));
    }
    fs::path chrome(std::string_view below) const {
        return fx.onDriveC("users/demo/AppData/Local/Google/Chrome/User Data") / std::string(below);
    }
    fs::path safari(std::string_view below) const {
        return fx.onDriveC("users/demo/AppData/Roaming/Apple Computer") / std::string(below);
    }

    SamplePrefixFixture fx;
    TempDir dir;
    fs::path backups = dir / "backups";
};

TEST_F(ChromeSafariCli, ItemsAndProfilesOfBothBrowsers) {
    const Result chromeItems = run({"items", "chrome"});
    EXPECT_EQ(chromeItems.exitCode, 0) << chromeItems.err;
    EXPECT_TRUE(
        chromeItems.out.starts_with("extensions\tРасширения\nplugin-data\tДанные Plugin\n"));
    EXPECT_NE(chromeItems.out.find("\npasswords\tLogin data\n"), std::string::npos);
    EXPECT_EQ(std::count(chromeItems.out.begin(), chromeItems.out.end(), '\n'), 16)
        << "the cache box is no item";
    const Result safariItems = run({"items", "Safari"});
    EXPECT_TRUE(safariItems.out.starts_with("bookmarks\tЗакладки\ncookies\tКуки\n"));
    EXPECT_NE(safariItems.out.find("\nsettings\tУстановки\n"), std::string::npos);
    EXPECT_EQ(std::count(safariItems.out.begin(), safariItems.out.end(), '\n'), 9);

    EXPECT_EQ(onSample({"profiles", "chrome"}).out, "Default\nProfile 1\n");
    EXPECT_EQ(onSample({"profiles", "safari"}).out, "Safari\nSafari (old PC)\n");
}

// Both browsers name a custom location's archive "ch_custom.dat".
TEST_F(ChromeSafariCli, TheSharedCustomArchiveIsReplacedOnlyWithReplace) {
    const Result chromes = onSample({"backup", "chrome", "--to", s(backups), "--custom-profile",
                                     s(chrome("Profile 1")), "--items", "bookmarks"});
    EXPECT_EQ(chromes.exitCode, 0) << chromes.err;
    EXPECT_EQ(chromes.out, s(backups / "ch_custom.dat") + "\n");

    std::vector<std::string> safaris = {"backup",   "safari",           "--to",
                                        s(backups), "--custom-profile", s(safari("Safari")),
                                        "--items",  "history,settings"};
    const Result refused = onSample(safaris);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "vellarion-cli: \"" + s(backups / "ch_custom.dat") +
                               "\" exists already; give --replace to replace it\n");
    EXPECT_EQ(storedNames(backups / "ch_custom.dat"), std::set<std::string>{"Bookmarks"});

    safaris.push_back("--replace");
    const Result replaced = onSample(safaris);
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(storedNames(backups / "ch_custom.dat"),
              (std::set<std::string>{"History.plist", "Preferences\\com.apple.Safari.plist"}));
}

TEST_F(ChromeSafariCli, RestoreIntoAnotherProfileAndTheFullCommands) {
    ASSERT_EQ(onSample({"backup", "chrome", "--to", s(backups)}).exitCode, 0);
    const Result restored =
        onSample({"restore", "chrome", "--from", s(backups), "--archive", "Default.dat",
                  "--profile", "profile 1", "--items", "passwords"});
    EXPECT_EQ(restored.exitCode, 0) << restored.err;
    EXPECT_EQ(readFile(chrome("Profile 1/Login Data")), readFile(chrome("Default/Login Data")));

    const Result packed = onSample({"full-backup", "safari", "--to", s(backups)});
    EXPECT_EQ(packed.exitCode, 0) << packed.err;
    const std::set<std::string> names = storedNames(backups / "fbackup_safari.dat");
    EXPECT_TRUE(names.contains("Preferences\\com.apple.Safari.plist") &&
                names.contains("Safari (old PC)\\Bookmarks.plist"));
    const auto saved = readTree(safari(""));
    fs::remove_all(safari("Preferences"));
    const Result unpacked = onSample({"full-restore", "safari", "--from", s(backups)});
    EXPECT_EQ(unpacked.exitCode, 0) << unpacked.err;
    EXPECT_EQ(readTree(safari("")), saved);
}

} // namespace
} // namespace vellarion::test
