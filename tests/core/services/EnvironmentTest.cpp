#include "core/services/Environment.h"

#include "core/services/Text.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

// Internet Explorer's candidates, the worked example of the search.
const CandidateForms kIe[] = {
    {"{sfp}\\Microsoft\\Internet Explorer", "{sfp}\\Microsoft\\Internet Explorer"},
    {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Microsoft\\Internet Explorer",
     "{drv}\\Users\\{uzer}\\AppData\\Local\\Microsoft\\Internet Explorer"},
    {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application Data\\Microsoft\\Internet "
     "Explorer",
     "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Microsoft\\Internet Explorer"},
};

UserEnvironment bob(std::string version) {
    return {"bob", "C:", "C:\\Users\\bob\\AppData\\Roaming", "C:\\Users\\bob\\AppData\\Local",
            std::move(version)};
}

TEST(CandidateRule, VersionFiveBuildsEveryCandidateFromTheDocumentsAndSettingsForms) {
    const auto dirs = assignCandidates(bob("5"), kIe);
    ASSERT_EQ(dirs.size(), 3u);
    EXPECT_EQ(dirs[0], "C:\\Users\\bob\\AppData\\Roaming\\Microsoft\\Internet Explorer");
    EXPECT_EQ(dirs[1],
              "C:\\Documents and Settings\\bob\\Application Data\\Microsoft\\Internet Explorer");
    EXPECT_EQ(dirs[2], "C:\\Documents and Settings\\bob\\Local Settings\\Application "
                       "Data\\Microsoft\\Internet Explorer");
}

TEST(CandidateRule, VersionSixTakesTheUsersForms) {
    const auto dirs = assignCandidates(bob("6"), kIe);
    EXPECT_EQ(dirs[0], "C:\\Users\\bob\\AppData\\Roaming\\Microsoft\\Internet Explorer");
    EXPECT_EQ(dirs[1], "C:\\Users\\bob\\AppData\\Local\\Microsoft\\Internet Explorer");
    EXPECT_EQ(dirs[2], "C:\\Users\\bob\\AppData\\Roaming\\Microsoft\\Internet Explorer");
}

TEST(CandidateRule, AnyOtherVersionLeavesTheFirstEmptyAndUsesTheVersionFiveForms) {
    for (const char* version : {"10", "4", "", "06"}) {
        const auto dirs = assignCandidates(bob(version), kIe);
        EXPECT_EQ(dirs[0], "") << version;
        EXPECT_EQ(dirs[1],
                  "C:\\Documents and Settings\\bob\\Application Data\\Microsoft\\Internet Explorer")
            << version;
        EXPECT_EQ(joinDirList(dirs).front(), ';') << version;
    }
}

TEST(CandidateRule, FoldersOutsideTheListFollowTheVersionAndExtraNamesExpand) {
    const CandidateForms cook{"{drv}\\Documents and Settings\\{uzer}",
                              "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Microsoft\\Windows"};
    EXPECT_EQ(versionedFolder(bob("10"), cook), "C:\\Documents and Settings\\bob");
    EXPECT_EQ(versionedFolder(bob("6"), cook),
              "C:\\Users\\bob\\AppData\\Roaming\\Microsoft\\Windows");

    const CandidateForms opera[] = {{"{sfp}\\Opera\\{N}", "{sfp}\\Opera\\{N}"},
                                    {"{loc}\\Opera\\{N}\\profile", "{loc}\\Opera\\{N}\\profile"}};
    const auto dirs = assignCandidates(bob("6"), opera, {{"N", "Opera 10"}});
    EXPECT_EQ(dirs[0], "C:\\Users\\bob\\AppData\\Roaming\\Opera\\Opera 10");
    EXPECT_EQ(dirs[1], "C:\\Users\\bob\\AppData\\Local\\Opera\\Opera 10\\profile");
    // A value is never read as a template itself.
    UserEnvironment odd = bob("6");
    odd.uzer = "{sfp}";
    EXPECT_EQ(expandTemplate("{uzer}", odd), "{sfp}");
    EXPECT_THROW(expandTemplate("{nope}\\x", odd), std::invalid_argument);
}

TEST(TailRemoval, RemovesEveryOccurrenceInAnyLetterCase) {
    EXPECT_EQ(removeEveryOccurrence(
                  "C:\\Users\\bob\\AppData\\Roaming\\Microsoft\\Internet Explorer\\BRNDLOG.TXT",
                  "brndlog.txt"),
              "C:\\Users\\bob\\AppData\\Roaming\\Microsoft\\Internet Explorer\\");
    EXPECT_EQ(removeEveryOccurrence("C:\\a\\Default\\Bookmarks\\x\\default\\bookmarks",
                                    "\\Default\\Bookmarks"),
              "C:\\a\\x");
    EXPECT_EQ(removeEveryOccurrence("x.data.dat", ".dat"), "xa");
    EXPECT_EQ(removeEveryOccurrence("\xd0\x9f\xd1\x80\\profiles.ini", "PROFILES.INI"),
              "\xd0\x9f\xd1\x80\\");
    EXPECT_EQ(removeEveryOccurrence("", "x"), "");
}

} // namespace
} // namespace vellarion
