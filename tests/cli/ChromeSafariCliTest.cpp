// vellarion-cli's commands for Chrome and Safari, run as a user runs them on
// a sample Windows prefix.
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"

#include <gtest/gtest.h>
#include <set>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

TEST(ChromeSafariCli, TheSharedCustomArchiveIsReplacedOnlyWithReplace) {
    SamplePrefixFixture fx;
    TempDir backups;
    const auto onSample = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--prefix", s(fx.sample().prefix), "--user", "demo"});
        return run(std::move(args));
    };
    EXPECT_EQ(onSample({"profiles", "chrome"}).out, "Default\nProfile 1\n");
    EXPECT_EQ(onSample({"profiles", "safari"}).out, "Safari\nSafari (old PC)\n");
    const Result items = run({"items", "chrome"});
    EXPECT_TRUE(items.out.starts_with("extensions\tExtensions\nplugin-data\tPlugin data\n"))
        << items.out;
    EXPECT_EQ(std::count(items.out.begin(), items.out.end(), '\n'), 16) << "the cache is none";

    const fs::path chromeProfile =
        fx.onDriveC("users/demo/AppData/Local/Google/Chrome/User Data/Profile 1");
    const Result chromes = onSample({"backup", "chrome", "--to", s(backups.path()),
                                     "--custom-profile", s(chromeProfile), "--items", "bookmarks"});
    EXPECT_EQ(chromes.exitCode, 0) << chromes.err;
    const fs::path archive = backups / "ch_custom.dat";
    EXPECT_EQ(chromes.out, s(archive) + "\n");

    const fs::path safariProfile = fx.onDriveC("users/demo/AppData/Roaming/Apple Computer/Safari");
    std::vector<std::string> safaris = {"backup",          "safari",           "--to",
                                        s(backups.path()), "--custom-profile", s(safariProfile),
                                        "--items",         "history,settings"};
    const Result refused = onSample(safaris);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "vellarion-cli: \"" + s(archive) +
                               "\" exists already; give --replace to replace it\n");
    EXPECT_EQ(storedNames(archive), std::set<std::string>{"Bookmarks"});

    safaris.push_back("--replace");
    const Result replaced = onSample(safaris);
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(storedNames(archive),
              (std::set<std::string>{"History.plist", "Preferences\\com.apple.Safari.plist"}));
}

} // namespace
} // namespace vellarion::test
