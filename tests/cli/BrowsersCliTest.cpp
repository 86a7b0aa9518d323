// vellarion-cli and today's browsers: every browser listed with what was
// found of it, profiles shown by the names their users gave them, and the
// one name "opera" for the classic and the current Opera beside the names of
// each of them alone.
#include "CliRunner.h"
#include "FileTree.h"
#include "SamplePrefixFixture.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <nlohmann/json.hpp>
#include <sstream>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(CliBrowsers, TheDemoHasEveryBrowserFoundWithItsProfilesAndDataRoot) {
    TempDir home;
    const Result listed = run({"browsers", "--demo"}, home.path());
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const std::vector<std::string> lines = linesOf(listed.out);
    ASSERT_EQ(lines.size(), 16u) << listed.out;
    for (const std::string& line : lines) {
        EXPECT_NE(line.find("\tfound\t"), std::string::npos) << line;
    }
    const fs::path drive = home / ".local/share/vellarion/demo/drive_c";
    EXPECT_EQ(lines[6], "edge\tEdge\tfound\t2\t" +
                            s(drive / "users/demo/AppData/Local/Microsoft/Edge/User Data"));
    // Every row has a name of its own, which commands take.
    std::set<std::string> names;
    for (const std::string& line : lines) {
        EXPECT_TRUE(names.insert(line.substr(0, line.find('\t'))).second) << line;
    }
    EXPECT_TRUE(lines[3].starts_with("opera-classic\tOpera (classic)\tfound\t3\t")) << lines[3];
    EXPECT_EQ(lines[9], "opera-stable\tOpera (current)\tfound\t2\t" +
                            s(drive / "users/demo/AppData/Roaming/Opera Software/Opera Stable"));
    EXPECT_EQ(lines[15], "zen\tZen\tfound\t2\t" + s(drive / "users/demo/AppData/Roaming/zen"));
    EXPECT_TRUE(lines[0].starts_with("ie\tInternet Explorer\tfound\t-\t")) << lines[0];

    const Result json = run({"browsers", "--demo", "--json"}, home.path());
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const nlohmann::json parsed = nlohmann::json::parse(json.out);
    ASSERT_EQ(parsed.size(), 16u);
    EXPECT_EQ(parsed[12]["browser"], "librewolf");
    EXPECT_EQ(parsed[12]["found"], true);
    EXPECT_EQ(parsed[12]["profiles"], 2);
    EXPECT_EQ(parsed[12]["dataRoot"], s(drive / "users/demo/AppData/Roaming/librewolf"));
    EXPECT_TRUE(parsed[0]["profiles"].is_null());

    // A home with nothing: every browser listed, none found.
    TempDir empty;
    const Result none = run({"browsers", "--native"}, empty.path());
    ASSERT_EQ(none.exitCode, 0) << none.err;
    for (const std::string& line : linesOf(none.out)) {
        EXPECT_NE(line.find("\tnot found\t-\t"), std::string::npos) << line;
    }
}

TEST(CliBrowsers, ProfilesAreShownByTheirNamesAndChosenByEither) {
    SamplePrefixFixture fx({.browsers = {Browser::Edge}});
    const std::string prefix = "--prefix=" + s(fx.sample().prefix);
    const Result listed = run({"profiles", "edge", prefix});
    EXPECT_EQ(listed.out, "Personal (Default)\nWork (Profile 1)\n");
    TempDir backups;
    const Result byName =
        run({"backup", "edge", prefix, "--profile", "Work (Profile 1)", "--to", s(backups.path())});
    ASSERT_EQ(byName.exitCode, 0) << byName.err;
    EXPECT_EQ(byName.out, s(backups / "Profile 1.dat") + "\n") << "named after its folder";
    const Result byFolder =
        run({"backup", "edge", prefix, "--profile", "default", "--to", s(backups.path())});
    ASSERT_EQ(byFolder.exitCode, 0) << byFolder.err;
    EXPECT_TRUE(storedNames(backups / "Default.dat").count("Bookmarks"));
    // By the name alone, as the browser calls it.
    const Result byOwnName =
        run({"backup", "edge", prefix, "--profile", "work", "--to", s(backups / "by-name")});
    ASSERT_EQ(byOwnName.exitCode, 0) << byOwnName.err;
    EXPECT_TRUE(fs::exists(backups / "by-name" / "Profile 1.dat"));
    const Result wrong = run({"backup", "edge", prefix, "--profile", "Home", "--to", "x"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err,
              "vellarion-cli: no profile \"Home\"; the profiles are Default, Profile 1\n");
}

TEST(CliBrowsers, OperaIsTheClassicWhereItsDataIsFoundElseTheCurrent) {
    SamplePrefixFixture current({.browsers = {Browser::OperaStable}});
    EXPECT_EQ(run({"profiles", "opera", "--prefix=" + s(current.sample().prefix)}).out,
              "Personal (Default)\nWork (Profile 1)\n");
    SamplePrefixFixture both({.browsers = {Browser::Opera, Browser::OperaStable}});
    SamplePrefixFixture classic({.browsers = {Browser::Opera}});
    const Result classicOnly = run({"profiles", "opera", "--prefix=" + s(classic.sample().prefix)});
    ASSERT_EQ(classicOnly.exitCode, 0) << classicOnly.err;
    EXPECT_EQ(run({"profiles", "opera", "--prefix=" + s(both.sample().prefix)}).out,
              classicOnly.out);
    // Each by its own name, where both are found.
    EXPECT_EQ(run({"profiles", "opera-classic", "--prefix=" + s(both.sample().prefix)}).out,
              classicOnly.out);
    EXPECT_EQ(run({"profiles", "opera-stable", "--prefix=" + s(both.sample().prefix)}).out,
              "Personal (Default)\nWork (Profile 1)\n");

    // This machine has only the current Opera.
    TempDir home;
    writeFile(home / ".config/opera/Default/Preferences", "{}");
    writeFile(home / ".config/opera/Local State", "{}");
    EXPECT_EQ(run({"profiles", "opera"}, home.path()).out, "Default\n");
    const Result help = run({"profiles", "--help"});
    EXPECT_NE(help.out.find("opera: the first of Opera (classic), Opera (current) whose data is "
                            "found here"),
              std::string::npos)
        << help.out;
}

} // namespace
} // namespace vellarion::test
