// Where the wizards find a browser's data: the candidates by Windows
// version, the marker search and the data root derived from it.
#include "core/wizards/DataRoot.h"

#include "SamplePrefixFixture.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

#ifndef _WIN32

using test::SamplePrefixFixture;

TEST(LocateDataRoot, FullWindowsFindTheRootWithoutATrailingSeparatorOnVersions5And6) {
    for (int version : {5, 6}) {
        for (const BrowserDataSet* data : {&firefoxDataSet(), &flockDataSet()}) {
            SCOPED_TRACE(std::string(data->name) + " on version " + std::to_string(version));
            SamplePrefixFixture fx({.windowsVersion = version});
            WizardState state;
            ASSERT_TRUE(locateDataRoot(fx.services(), *data, data->full.rootTails, state));
            const std::string folder =
                data == &firefoxDataSet() ? "\\Mozilla\\Firefox" : "\\Flock\\Browser";
            EXPECT_EQ(state.ffpath, fx.sample().roaming + folder);
            EXPECT_EQ(state.fullFilePath, state.ffpath + "\\profiles.ini");
            EXPECT_EQ(state.windoze, std::to_string(version));
            EXPECT_EQ(state.fileName, "profiles.ini");
            EXPECT_TRUE(fx.services().fileExists(state.ffpath + "\\profiles.ini"));
        }
    }
}

TEST(LocateDataRoot, CandidatesFollowTheVersionRule) {
    SamplePrefixFixture v5({.windowsVersion = 5});
    WizardState s5;
    locateDataRoot(v5.services(), firefoxDataSet(), firefoxDataSet().full.rootTails, s5);
    EXPECT_EQ(s5.dir1, s5.sfp + "\\Mozilla\\Firefox");
    EXPECT_EQ(s5.dir2, "C:\\Documents and Settings\\demo\\Local Settings\\Application "
                       "Data\\Mozilla\\Firefox");
    EXPECT_EQ(s5.dir3, "C:\\Documents and Settings\\demo\\Application Data\\Mozilla\\Firefox");
    EXPECT_EQ(s5.dir4, s5.loc + "\\Mozilla\\Firefox");

    SamplePrefixFixture v6({.windowsVersion = 6});
    WizardState s6;
    locateDataRoot(v6.services(), flockDataSet(), flockDataSet().full.rootTails, s6);
    EXPECT_EQ(s6.dir1, s6.sfp + "\\Flock\\Browser");
    EXPECT_EQ(s6.dir2, "C:\\Users\\demo\\AppData\\Local\\Flock\\Browser");
    EXPECT_EQ(s6.dir3, "C:\\Users\\demo\\AppData\\Roaming\\Flock\\Browser");
    EXPECT_EQ(s6.dir4, s6.loc + "\\Flock\\Browser");
    EXPECT_TRUE(s6.v101.empty());
    EXPECT_TRUE(s6.v102.empty());
}

TEST(LocateDataRoot, AnotherVersionSearchesOnlyTheOlderLayoutAndLocalData) {
    // Version 10: dir1 stays empty, so roaming data is not reached...
    SamplePrefixFixture fx({.windowsVersion = 10});
    WizardState state;
    state.ffpath = "kept";
    EXPECT_FALSE(
        locateDataRoot(fx.services(), firefoxDataSet(), firefoxDataSet().full.rootTails, state));
    EXPECT_TRUE(state.dir1.empty());
    EXPECT_EQ(state.dir3, "C:\\Documents and Settings\\demo\\Application Data\\Mozilla\\Firefox");
    EXPECT_TRUE(state.fullFilePath.empty());
    EXPECT_EQ(state.ffpath, "kept") << "a failed search leaves the old root alone";

    // ...but a data root under the local application data is, through dir4.
    test::writeFile(fx.onDriveC("users/demo/AppData/Local/Mozilla/Firefox/profiles.ini"),
                    "[General]\n");
    ASSERT_TRUE(
        locateDataRoot(fx.services(), firefoxDataSet(), firefoxDataSet().full.rootTails, state));
    EXPECT_EQ(state.ffpath, state.loc + "\\Mozilla\\Firefox");
}

// Candidates and tails over a name of the data set's own: its default
// unless the job names another value (Opera's installation folder).
TEST(LocateDataRoot, TemplateNamesTakeTheDataSetsDefaultUnlessTheJobNamesAnother) {
    SamplePrefixFixture fx;
    BrowserDataSet data = firefoxDataSet();
    data.markerFile = "speeddial.ini";
    data.rootMarkers.clear(); // found by the marker file, its tails cut off
    data.candidates = {{"{sfp}\\Opera\\{N}", "{sfp}\\Opera\\{N}"},
                       {"{sfp}\\Opera\\{N}\\profile", "{sfp}\\Opera\\{N}\\profile"}};
    data.templateDefaults = {{"N", "Opera"}};
    const std::vector<std::string_view> tails = {"\\{N}\\profile\\speeddial.ini",
                                                 "\\{N}\\speeddial.ini"};
    const std::string roaming = fx.sample().roaming;
    // The sample's Opera lives in the default installation folder.
    WizardState state;
    ASSERT_TRUE(locateDataRoot(fx.services(), data, tails, state));
    EXPECT_EQ(state.dir1, roaming + "\\Opera\\Opera");
    EXPECT_EQ(state.dir2, roaming + "\\Opera\\Opera\\profile");
    EXPECT_EQ(state.ffpath, roaming + "\\Opera");

    const TemplateVars typed = {{"N", "Opera 11"}};
    EXPECT_FALSE(locateDataRoot(fx.services(), data, tails, state, typed));
    test::writeFile(fx.onDriveC("users/demo/AppData/Roaming/Opera/Opera 11/profile/speeddial.ini"),
                    "[Speed Dial 1]\n");
    ASSERT_TRUE(locateDataRoot(fx.services(), data, tails, state, typed));
    EXPECT_EQ(state.dir1, roaming + "\\Opera\\Opera 11");
    EXPECT_EQ(state.fullFilePath, roaming + "\\Opera\\Opera 11\\profile\\speeddial.ini");
    EXPECT_EQ(state.ffpath, roaming + "\\Opera");
}

#endif

TEST(RemoveTails, EachTailGoesInTurnEveryOccurrenceIgnoringCase) {
    const std::string_view tails[] = {"Opera\\profile\\speeddial.ini", "Opera\\speeddial.ini"};
    EXPECT_EQ(removeTails("C:\\x\\Opera\\PROFILE\\speeddial.ini", tails), "C:\\x\\");
    EXPECT_EQ(removeTails("C:\\x\\Opera\\speeddial.INI", tails), "C:\\x\\");
    EXPECT_EQ(removeTails("C:\\a\\profiles.ini\\b\\Profiles.ini",
                          std::vector<std::string_view>{"profiles.ini"}),
              "C:\\a\\\\b\\");
}

} // namespace
} // namespace vellarion
