#include "SamplePrefixFixture.h"
#include "core/services/Error.h"
#include "core/services/Text.h"
#include "core/services/registry/RegistryText.h"

#include <deque>
#include <gtest/gtest.h>

namespace vellarion {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::SamplePrefixFixture;
using test::TempDir;
using test::writeFile;

// Each browser's marker, candidate forms and tail texts, as its data set
// gives them.
struct BrowserSearch {
    const char* name;
    const char* marker;
    std::vector<CandidateForms> forms;
    std::vector<const char*> tails;
};

// Four candidates over `part`; the browsers differ in which of the two
// "Documents and Settings" forms comes first.
std::vector<CandidateForms> fourForms(const std::string& part, bool localSettingsFirst) {
    static std::deque<std::string> keep; // the views below point into these
    auto s = [&](std::string t) -> std::string_view { return keep.emplace_back(std::move(t)); };
    const std::string local =
        "{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application Data\\";
    const std::string roaming = "{drv}\\Documents and Settings\\{uzer}\\Application Data\\";
    return {
        {s("{sfp}\\" + part), s("{sfp}\\" + part)},
        {s((localSettingsFirst ? local : roaming) + part),
         s("{drv}\\Users\\{uzer}\\AppData\\Local\\" + part)},
        {s((localSettingsFirst ? roaming : local) + part),
         s("{drv}\\Users\\{uzer}\\AppData\\Roaming\\" + part)},
        {s("{loc}\\" + part), s("{loc}\\" + part)},
    };
}
std::vector<CandidateForms> mozillaForms(const std::string& part) {
    return fourForms(part, true);
}
std::vector<CandidateForms> chromeLikeForms(const std::string& part) {
    return fourForms(part, false);
}

const std::vector<BrowserSearch>& searches() {
    static const std::vector<BrowserSearch> all{
        {"Internet Explorer",
         "brndlog.txt",
         {{"{sfp}\\Microsoft\\Internet Explorer", "{sfp}\\Microsoft\\Internet Explorer"},
          {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Microsoft\\Internet Explorer",
           "{drv}\\Users\\{uzer}\\AppData\\Local\\Microsoft\\Internet Explorer"},
          {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application "
           "Data\\Microsoft\\Internet Explorer",
           "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Microsoft\\Internet Explorer"}},
         {"brndlog.txt"}},
        {"Firefox", "profiles.ini", mozillaForms("Mozilla\\Firefox"), {"profiles.ini"}},
        {"Flock", "profiles.ini", mozillaForms("Flock\\Browser"), {"profiles.ini"}},
        {"Chrome",
         "Bookmarks",
         chromeLikeForms("Google\\Chrome\\User Data\\Default"),
         {"Default\\Bookmarks"}},
        {"Safari",
         "Bookmarks.plist",
         chromeLikeForms("Apple Computer\\Safari"),
         {"Safari\\Bookmarks.plist"}},
        {"Opera",
         "speeddial.ini",
         {{"{sfp}\\Opera\\{N}", "{sfp}\\Opera\\{N}"},
          {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Opera\\{N}",
           "{drv}\\Users\\{uzer}\\AppData\\Local\\Opera\\{N}"},
          {"{sfp}\\Opera\\{N}\\profile", "{sfp}\\Opera\\{N}\\profile"},
          {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Opera\\{N}\\profile",
           "{drv}\\Users\\{uzer}\\AppData\\Local\\Opera\\{N}\\profile"},
          {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application "
           "Data\\Opera\\{N}\\profile",
           "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Opera\\{N}\\profile"},
          {"{loc}\\Opera\\{N}\\profile", "{loc}\\Opera\\{N}\\profile"}},
         {"Opera\\profile\\speeddial.ini", "Opera\\speeddial.ini"}},
    };
    return all;
}

// The data root a wizard derives: the marker path found, tails removed.
std::string dataRoot(SystemServices& services, const BrowserSearch& b) {
    const UserEnvironment env = services.gatherEnvironment();
    const auto dirs = assignCandidates(env, b.forms, {{"N", "Opera"}});
    std::string root = services.FindFileInDirList(b.marker, joinDirList(dirs));
    for (const char* tail : b.tails) {
        root = removeEveryOccurrence(root, tail);
    }
    return root;
}

TEST(SamplePrefix, VersionSixEnvironmentAndEveryBrowserFoundWhereItsCandidatesLook) {
    SamplePrefixFixture f;
    auto& s = f.services();
    const UserEnvironment env = s.gatherEnvironment();
    EXPECT_EQ(env.uzer, "demo");
    EXPECT_EQ(env.drv, "C:");
    EXPECT_EQ(env.sfp, "C:\\users\\demo\\AppData\\Roaming");
    EXPECT_EQ(env.loc, "C:\\users\\demo\\AppData\\Local");
    EXPECT_EQ(env.windoze, "6");

    const std::map<std::string, std::string> roots{
        {"Internet Explorer", "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Internet Explorer\\"},
        {"Firefox", "C:\\users\\demo\\AppData\\Roaming\\Mozilla\\Firefox\\"},
        {"Flock", "C:\\users\\demo\\AppData\\Roaming\\Flock\\Browser\\"},
        {"Chrome", "C:\\Users\\demo\\AppData\\Local\\Google\\Chrome\\User Data\\"},
        {"Safari", "C:\\users\\demo\\AppData\\Roaming\\Apple Computer\\"},
        {"Opera", "C:\\users\\demo\\AppData\\Roaming\\Opera\\"},
    };
    for (const auto& b : searches()) {
        EXPECT_EQ(dataRoot(s, b), roots.at(b.name)) << b.name;
    }
}

TEST(SamplePrefix, VersionFiveLayoutIsFoundThroughTheDocumentsAndSettingsForms) {
    SamplePrefixFixture f({.user = "Иван", .windowsVersion = 5});
    auto& s = f.services();
    const UserEnvironment env = s.gatherEnvironment();
    EXPECT_EQ(env.uzer, "Иван");
    EXPECT_EQ(env.sfp, "C:\\Documents and Settings\\Иван\\Application Data");
    EXPECT_EQ(env.loc, "C:\\Documents and Settings\\Иван\\Local Settings\\Application Data");
    EXPECT_EQ(env.windoze, "5");
    for (const auto& b : searches()) {
        const std::string root = dataRoot(s, b);
        EXPECT_TRUE(root.starts_with("C:\\Documents and Settings\\Иван\\")) << b.name << root;
    }
    EXPECT_EQ(dataRoot(s, searches()[3]),
              "C:\\Documents and Settings\\Иван\\Local Settings\\Application "
              "Data\\Google\\Chrome\\User Data\\");
}

TEST(SamplePrefix, AnotherVersionNumberFindsOnlyWhatTheVersionFiveFormsAndLocalFolderReach) {
    SamplePrefixFixture f({.windowsVersion = 10});
    auto& s = f.services();
    EXPECT_EQ(s.gatherEnvironment().windoze, "10");
    std::map<std::string, std::string> found;
    for (const auto& b : searches()) {
        found[b.name] = dataRoot(s, b);
    }
    EXPECT_EQ(found["Firefox"], "");
    EXPECT_EQ(found["Internet Explorer"], "");
    EXPECT_EQ(found["Opera"],
              "C:\\users\\demo\\AppData\\Roaming\\Opera\\"); // dir1 is built from sfp
    EXPECT_EQ(found["Chrome"], "C:\\users\\demo\\AppData\\Local\\Google\\Chrome\\User Data\\");
}

TEST(SamplePrefix, ProfilesAreListedAsTheWizardsListThem) {
    SamplePrefixFixture f;
    auto& s = f.services();
    auto list = [&](const std::string& dir) {
        std::vector<std::string> out;
        s.GetSubDirectories(dir, out);
        return out;
    };
    const std::string roam = "C:\\users\\demo\\AppData\\Roaming\\";
    EXPECT_EQ(list(roam + "Mozilla\\Firefox\\Profiles"),
              (std::vector<std::string>{"abcd1234.default", "wxyz9876.work"}));
    EXPECT_EQ(list(roam + "Flock\\Browser\\Profiles"),
              (std::vector<std::string>{"flck1234.default", "qrst5678.second"}));
    EXPECT_EQ(list("C:\\users\\demo\\AppData\\Local\\Google\\Chrome\\User Data"),
              (std::vector<std::string>{"Default", "Profile 1"}));
    EXPECT_EQ(list(roam + "Apple Computer"),
              (std::vector<std::string>{"Preferences", "Safari", "Safari (old PC)"}));
    EXPECT_EQ(list(roam + "Opera"), (std::vector<std::string>{"Opera", "Opera 10", "Opera 9"}));
}

TEST(SamplePrefix, HoldsEveryNameOfTheItemTables) {
    SamplePrefixFixture f;
    auto& s = f.services();
    auto expectAll = [&](const std::string& dir, const std::vector<std::string>& names) {
        for (const auto& n : names) {
            EXPECT_TRUE(s.fileExists(dir + n) || s.directoryExists(dir + n)) << dir << n;
        }
    };
    const std::string roam = "C:\\users\\demo\\AppData\\Roaming\\";
    const std::vector<std::string> mozilla{
        "extensions.ini",  "extensions",         "prefs.js",      "user.js",
        "preferences",     "search.rdf",         "search.sqlite", "searchplugins",
        "chrome",          "sessionstore.js",    "persdict.dat",  "localstore.rdf",
        "bookmarks.html",  "places.sqlite",      "cookies.txt",   "cookies.sqlite",
        "downloads.rdf",   "downloads.sqlite",   "history.dat",   "mimeTypes.rdf",
        "formhistory.dat", "formhistory.sqlite", "key3.db",       "signons2.txt",
        "signons3.txt",    "signons.sqlite",     "hostperm.1",    "content-prefs.sqlite"};
    auto firefox = mozilla;
    firefox.insert(firefox.end(), {"addons.sqlite", "adblockplus", "lightweighttheme-footer",
                                   "lightweighttheme-header", "stylish.sqlite"});
    expectAll(roam + "Mozilla\\Firefox\\Profiles\\abcd1234.default\\", firefox);
    auto flock = mozilla;
    flock.insert(flock.end(), {"flock-data.sqlite", "webdetective.sqlite", "feedcontent.sqlite"});
    expectAll(roam + "Flock\\Browser\\Profiles\\flck1234.default\\", flock);
    expectAll("C:\\users\\demo\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\",
              {"Extensions",       "Plugin Data",     "Bookmarks",         "Cookies",
               "Current Session",  "Current Tabs",    "Extension Cookies", "History",
               "Archived History", "History-journal", "Last Session",      "Last Tabs",
               "Preferences",      "QuotaManager",    "TransportSecurity", "Thumbnails",
               "Visited Links",    "Login Data",      "Web Data",          "Web Data-journal",
               "Top Sites"});
    expectAll(roam + "Apple Computer\\Safari\\",
              {"Bookmarks.plist", "Cookies", "Downloads.plist", "PubSub", "Form Values.plist",
               "History.plist", "LastSession.plist", "TopSites.plist"});
    expectAll(roam + "Apple Computer\\", {"Preferences"});
    expectAll(roam + "Opera\\Opera\\profile\\", {"opera6.adr",
                                                 "bookmarks.adr",
                                                 "sessions",
                                                 "skin",
                                                 "toolbar",
                                                 "keyboard",
                                                 "mail",
                                                 "menu",
                                                 "mouse",
                                                 "opcacrt6.dat",
                                                 "opcert6.dat",
                                                 "contacts.adr",
                                                 "cookies4.dat",
                                                 "download.dat",
                                                 "global.dat",
                                                 "global_history.dat",
                                                 "typed_history.xml",
                                                 "notes.adr",
                                                 "adprefs.ini",
                                                 "opera6.ini",
                                                 "operaprefs.ini",
                                                 "override_downloaded.ini",
                                                 "search.ini",
                                                 "speeddial.ini",
                                                 "tips.ini",
                                                 "tasks.xml",
                                                 "trusted_repositories.ini",
                                                 "urlfilter.ini",
                                                 "dictionaries",
                                                 "vlink4.dat",
                                                 "wand.dat",
                                                 "widgets"});
    expectAll("C:\\users\\demo\\AppData\\Local\\Opera\\Opera\\", {"mail"});
    expectAll(roam + "Microsoft\\Internet Explorer\\", {"brndlog.txt", "Recovery"});
    expectAll(roam + "Microsoft\\Windows\\", {"Cookies"});
    expectAll("C:\\Users\\demo\\", {"Favorites"});
    // Empty journals, as a browser leaves them.
    EXPECT_EQ(readFile(f.onDriveC("users/demo/AppData/Local/Google/Chrome/User Data/Default/"
                                  "History-journal")),
              "");
    EXPECT_TRUE(readFile(f.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox/Profiles/"
                                    "abcd1234.default/places.sqlite"))
                    .starts_with(std::string("SQLite format 3\0", 16)));
}

TEST(SamplePrefix, EveryInternetExplorerKeyIsInTheRegistry) {
    SamplePrefixFixture f({.browsers = {Browser::InternetExplorer}});
    auto& s = f.services();
    fs::create_directories(f.onDriveC("stage"));
    const char* keys[] = {"IntelliForms",  "TypedURLs",      "SearchScopes",     "Recovery",
                          "Main",          "Settings",       "Security",         "Download",
                          "International", "PhishingFilter", "User Preferences", "Toolbar",
                          "LinksBar"};
    for (const char* key : keys) {
        s.SaveKeyToFile(std::string("Software\\Microsoft\\Internet Explorer\\") + key + "\\",
                        "C:\\stage\\k.reg");
        ASSERT_TRUE(fs::exists(f.onDriveC("stage/k.reg"))) << key;
        EXPECT_FALSE(RegistryText::parse(readFile(f.onDriveC("stage/k.reg"))).sections().empty());
        fs::remove(f.onDriveC("stage/k.reg"));
    }
    // The other browsers were not asked for.
    EXPECT_FALSE(fs::exists(f.onDriveC("users/demo/AppData/Roaming/Mozilla")));
}

TEST(ServicesFactory, FindsThePrefixFromTheEnvironment) {
    TempDir home;
    buildSamplePrefix(home / ".wine", {.user = "root"});
    ProcessEnvironment e{
        .home = pathToUtf8(home.path()), .winePrefix = pathToUtf8(home / ".wine"), .login = "root"};
    EXPECT_EQ(makeSystemServices({}, e)->GetSpecialFolderPath(kRoamingAppData),
              "C:\\users\\root\\AppData\\Roaming");

    TempDir other;
    buildSamplePrefix(other / "p", {.user = "bob", .windowsVersion = 5});
    e.winePrefix = pathToUtf8(other / "p");
    auto s = makeSystemServices({}, e);
    EXPECT_EQ(s->GetLoginName(), "bob");
    EXPECT_EQ(s->windowsMajorVersion(), 5);

    EnvironmentOptions o{.user = "alice", .windowsVersion = 7};
    s = makeSystemServices(o, e);
    EXPECT_EQ(s->GetLoginName(), "alice");
    EXPECT_EQ(s->windowsMajorVersion(), 7);
    EXPECT_EQ(s->GetSpecialFolderPath(kRoamingAppData), ""); // alice has no folder there
}

TEST(ServicesFactory, PrefersTheLoginsOwnFolderAmongSeveral) {
    TempDir dir;
    buildSamplePrefix(dir / "p", {.user = "Bob", .browsers = {}});
    buildSamplePrefix(dir / "p", {.user = "carol", .browsers = {}});
    fs::create_directories(dir / "p/drive_c/users/Public");
    ProcessEnvironment e{.login = "bob"};
    EXPECT_EQ(makeSystemServices({.prefix = pathToUtf8(dir / "p")}, e)->GetLoginName(), "Bob");
    e.login = "dave";
    EXPECT_EQ(makeSystemServices({.prefix = pathToUtf8(dir / "p")}, e)->GetLoginName(), "dave");
    fs::remove_all(dir / "p/drive_c/users/carol");
    EXPECT_EQ(makeSystemServices({.prefix = pathToUtf8(dir / "p")}, e)->GetLoginName(), "Bob");
}

TEST(ServicesFactory, AMountedDriveHasNoRegistryAndNoPrefixFindsNothing) {
    TempDir dir;
    const auto sample = buildSamplePrefix(dir / "p");
    ProcessEnvironment e{.home = pathToUtf8(dir / "nohome"), .login = "me"};
    auto s = makeSystemServices({.windowsRoot = pathToUtf8(sample.driveC)}, e);
    EXPECT_EQ(dataRoot(*s, searches()[1]), "C:\\users\\demo\\AppData\\Roaming\\Mozilla\\Firefox\\");
    fs::create_directories(sample.driveC / "stage");
    s->SaveKeyToFile("Software\\Microsoft\\Internet Explorer\\Main", "C:\\stage\\set.reg");
    EXPECT_FALSE(fs::exists(sample.driveC / "stage/set.reg"));

    s = makeSystemServices({}, e);
    const UserEnvironment env = s->gatherEnvironment();
    EXPECT_EQ(env.uzer, "me");
    EXPECT_EQ(env.drv, "C:");
    EXPECT_EQ(env.sfp, "");
    EXPECT_EQ(env.windoze, "6");
    for (const auto& b : searches()) {
        EXPECT_EQ(dataRoot(*s, b), "") << b.name;
    }

    EXPECT_THROW(makeSystemServices({.prefix = pathToUtf8(dir / "missing")}, e), Error);
    EXPECT_THROW(makeSystemServices({.windowsRoot = pathToUtf8(dir / "missing")}, e), Error);
}

TEST(ServicesFactory, TheDemoSandboxIsBuiltOnceAndUsed) {
    TempDir dir;
    ProcessEnvironment e{
        .home = pathToUtf8(dir / "home"), .xdgDataHome = pathToUtf8(dir / "data"), .login = "me"};
    EXPECT_EQ(demoSandboxDirectory(e), dir / "data/vellarion/demo");
    auto s = makeSystemServices({.demo = true}, e);
    EXPECT_EQ(s->GetLoginName(), "demo");
    EXPECT_EQ(s->windowsMajorVersion(), 6);
    EXPECT_EQ(dataRoot(*s, searches()[0]),
              "C:\\users\\demo\\AppData\\Roaming\\Microsoft\\Internet Explorer\\");

    const fs::path prefs = dir / "data/vellarion/demo/drive_c/users/demo/AppData/Roaming/Mozilla/"
                                 "Firefox/Profiles/abcd1234.default/prefs.js";
    writeFile(prefs, "changed by the user");
    makeSystemServices({.demo = true}, e);
    EXPECT_EQ(readFile(prefs), "changed by the user");
    // Nothing but the sandbox is left in its parent folder.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir / "data/vellarion"), fs::directory_iterator()), 1);

    e.xdgDataHome.clear();
    EXPECT_EQ(demoSandboxDirectory(e), dir / "home/.local/share/vellarion/demo");
}

} // namespace
} // namespace vellarion
