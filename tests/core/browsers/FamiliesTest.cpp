// Today's browsers, each a member of its family, where each keeps its data:
// in a Windows prefix and in a home folder of this machine, found, its
// profiles listed by the names the user gave them, every item and the whole
// data root backed up, wiped, restored byte for byte, the databases whole
// with their rows.
#include "BrowserProfiles.h"
#include "FileTree.h"
#include "JobRecorder.h"
#include "SamplePrefixFixture.h"
#include "TempDir.h"
#include "core/browsers/ProfileNames.h"
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
using test::storedNames;
using test::TempDir;
using test::writeFile;

enum class Family { Chromium, Firefox };

struct Member {
    const BrowserDataSet& (*data)();
    Family family;
    // The data root in a Windows prefix, below drive_c, and in a home folder
    // ("" where the browser has no version for this machine), and its
    // Flatpak or Snap home.
    const char* windows;
    const char* native;
    const char* sandboxed;
    const char* archive;
};

void PrintTo(const Member& m, std::ostream* os) {
    *os << m.data().id;
}

const Member kMembers[] = {
    {chromeDataSet, Family::Chromium, "users/demo/AppData/Local/Google/Chrome/User Data",
     ".config/google-chrome", ".var/app/com.google.Chrome/config/google-chrome",
     "fbackup_chrome.dat"},
    {edgeDataSet, Family::Chromium, "users/demo/AppData/Local/Microsoft/Edge/User Data",
     ".config/microsoft-edge", ".var/app/com.microsoft.Edge/config/microsoft-edge",
     "fbackup_edge.dat"},
    {braveDataSet, Family::Chromium,
     "users/demo/AppData/Local/BraveSoftware/Brave-Browser/User Data",
     ".config/BraveSoftware/Brave-Browser",
     ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser", "fbackup_brave.dat"},
    {vivaldiDataSet, Family::Chromium, "users/demo/AppData/Local/Vivaldi/User Data",
     ".config/vivaldi", ".var/app/com.vivaldi.Vivaldi/config/vivaldi", "fbackup_vivaldi.dat"},
    {operaStableDataSet, Family::Chromium, "users/demo/AppData/Roaming/Opera Software/Opera Stable",
     ".config/opera", ".var/app/com.opera.Opera/config/opera", "fbackup_opera_stable.dat"},
    {operaGxDataSet, Family::Chromium, "users/demo/AppData/Roaming/Opera Software/Opera GX Stable",
     "", "", "fbackup_opera_gx.dat"},
    {chromiumDataSet, Family::Chromium, "users/demo/AppData/Local/Chromium/User Data",
     ".config/chromium", "snap/chromium/common/chromium", "fbackup_chromium.dat"},
    {firefoxDataSet, Family::Firefox, "users/demo/AppData/Roaming/Mozilla/Firefox",
     ".mozilla/firefox", "snap/firefox/common/.mozilla/firefox", "fbackup_firefox.dat"},
    {libreWolfDataSet, Family::Firefox, "users/demo/AppData/Roaming/librewolf", ".librewolf",
     ".var/app/io.gitlab.librewolf-community/.librewolf", "fbackup_librewolf.dat"},
    {waterfoxDataSet, Family::Firefox, "users/demo/AppData/Roaming/Waterfox", ".waterfox",
     ".var/app/net.waterfox.waterfox/.waterfox", "fbackup_waterfox.dat"},
    {floorpDataSet, Family::Firefox, "users/demo/AppData/Roaming/Floorp", ".floorp",
     ".var/app/one.ablaze.floorp/.floorp", "fbackup_floorp.dat"},
    {zenDataSet, Family::Firefox, "users/demo/AppData/Roaming/zen", ".zen",
     ".var/app/app.zen_browser.zen/.zen", "fbackup_zen.dat"},
};

// Where a member's data lives for one run: a sample prefix or a home.
struct Place {
    bool native;
};

void PrintTo(const Place& p, std::ostream* os) {
    *os << (p.native ? "native" : "prefix");
}

// Every file of a tree that is data: an empty file is stored by no archive,
// a lock link left behind by an ended browser is none.
std::map<std::string, std::string> dataOf(const fs::path& root) {
    std::map<std::string, std::string> tree = readTree(root);
    std::erase_if(tree, [](const auto& entry) { return entry.second.empty(); });
    return tree;
}

// A data root as the member's current version leaves it, with two profiles
// the user named; the profile the jobs use and its folder's name.
struct Laid {
    fs::path profile;
    std::string folder;
    std::vector<std::string> shown; // the profile list as the user sees it
};

Laid layOut(const Member& m, const fs::path& root, bool native) {
    if (m.family == Family::Chromium) {
        test::writeCurrentChromeUserData(root);
        writeFile(root / "Profile 1" / "Preferences", "{\"profile\":{\"name\":\"Work\"}}");
        writeFile(root / "Local State",
                  "{\"os_crypt\":{\"encrypted_key\":\"RFBBUEkBAAAA0Iyd3wEV0RGM\"},"
                  "\"profile\":{\"info_cache\":{\"Default\":{\"name\":\"Personal\","
                  "\"avatar_icon\":\"chrome://theme/IDR_PROFILE_AVATAR_26\"},"
                  "\"Profile 1\":{\"name\":\"Work\"}},\"last_used\":\"Default\"}}");
        return {root / "Default", "Default", {"Personal (Default)", "Work (Profile 1)"}};
    }
    // Profiles lie in "Profiles" on Windows, beside the list on Linux.
    const std::string prefix = native ? "" : "Profiles/";
    writeFile(root / "profiles.ini",
              "[Profile1]\nName=Work\nIsRelative=1\nPath=" + prefix +
                  "qwer5678.dev\n\n[Profile0]\nName=default-release\nIsRelative=1\nPath=" + prefix +
                  "abcd1234.default-release\nDefault=1\n\n[General]\nStartWithLastProfile=1\n"
                  "Version=2\n");
    const fs::path profiles = native ? root : root / "Profiles";
    test::writeCurrentFirefoxProfile(profiles / "abcd1234.default-release");
    writeFile(profiles / "qwer5678.dev" / "prefs.js", "user_pref(\"a\", 1);\n");
    return {profiles / "abcd1234.default-release",
            "abcd1234.default-release",
            {"abcd1234.default-release", "Work (qwer5678.dev)"}};
}

class FamilyMember : public ::testing::TestWithParam<std::tuple<Member, Place>> {
protected:
    FamilyMember() : member(std::get<0>(GetParam())), native(std::get<1>(GetParam()).native) {
        if (native) {
            services = makeSystemServices({}, {.home = pathToUtf8(home.path()), .login = "bob"});
            root = home / member.native;
            backups = home / "backups";
            backupLocation = pathToUtf8(backups);
        } else {
            fx = std::make_unique<test::SamplePrefixFixture>(SamplePrefixOptions{.browsers = {}});
            root = fx->onDriveC(member.windows);
            backups = fx->onDriveC("backups");
            backupLocation = "C:\\backups";
        }
        fs::create_directories(backups);
    }

    SystemServices& sys() { return fx ? fx->services() : *services; }
    const BrowserDataSet& data() const { return member.data(); }

    SelectiveChoices everything(std::string custom = std::string(kCustomProfilePlaceholder)) {
        SelectiveChoices c;
        c.backupLocation = backupLocation;
        c.customLocation = std::move(custom);
        c.ticked = [](std::string_view) { return true; };
        return c;
    }

    Member member;
    bool native;
    TempDir home;
    std::unique_ptr<test::SamplePrefixFixture> fx;
    std::unique_ptr<SystemServices> services;
    fs::path root;
    fs::path backups;
    std::string backupLocation;
};

TEST_P(FamilyMember, IsFoundListedBackedUpWipedAndRestoredWhole) {
    if (native && std::string(member.native).empty()) {
        // No version for this machine: it says so and touches nothing.
        test::Wizard<SelectiveJob> none(sys(), data());
        EXPECT_FALSE(none.job.activate());
        EXPECT_THAT(none.reporter.messages,
                    ::testing::ElementsAre(::testing::HasSubstr("no version for this machine")));
        return;
    }
    const Laid laid = layOut(member, root, native);
    const std::map<std::string, std::string> before = dataOf(root);
    // What no item takes: caches, telemetry, the lock.
    std::map<std::string, std::string> profileBefore = dataOf(laid.profile);
    std::erase_if(profileBefore, [](const auto& entry) {
        const std::string& name = entry.first;
        return name.starts_with("Cache/") || name.starts_with("GPUCache/") ||
               name.starts_with("cache2/") || name == "times.json" || name == ".parentlock" ||
               name == "parent.lock";
    });

    // Found, and the profiles listed by the names the user gave them.
    test::Wizard<SelectiveJob> backup(sys(), data());
    ASSERT_TRUE(backup.job.activate()) << ::testing::PrintToString(backup.reporter.messages);
    EXPECT_EQ(sys().paths().toNative(std::string(withoutTrailingSeparators(backup.state.mpath))),
              root);
    std::vector<std::string> shown;
    for (size_t i = 0; i < backup.job.profiles.entries.size(); ++i) {
        shown.push_back(backup.job.profiles.shown(i));
    }
    EXPECT_EQ(shown, laid.shown);

    // Every item of the first profile: each file and folder of an item that
    // the profile has reaches the archive.
    ASSERT_EQ(backup.job.backup(everything()), JobOutcome::Done);
    const std::set<std::string> stored =
        storedNames(*sys().paths().toNative(backup.job.archivePath()));
    int checked = 0;
    for (const SelectiveItem& item : data().selective.items) {
        for (const ItemEntry& entry : item.entries) {
            std::string name(entry.name);
            const fs::path home = entry.home == ItemHome::DataRoot ? root : laid.profile;
            std::replace(name.begin(), name.end(), '\\', '/');
            // An empty file (a journal with nothing in it) is stored by no
            // archive.
            const bool empty = fs::is_regular_file(home / name) && fs::file_size(home / name) == 0;
            if (item.key.empty() || !fs::exists(home / name) || empty ||
                (entry.kind != ItemEntry::Kind::File && entry.kind != ItemEntry::Kind::Folder)) {
                continue;
            }
            std::string storedAs(entry.name);
            const bool there =
                entry.kind == ItemEntry::Kind::File
                    ? stored.count(storedAs) == 1
                    : std::any_of(stored.begin(), stored.end(), [&](const std::string& each) {
                          return each.starts_with(storedAs + "\\");
                      });
            EXPECT_TRUE(there) << item.key << ": " << storedAs;
            ++checked;
        }
    }
    EXPECT_GT(checked, 15);

    // Then the whole data root.
    test::Wizard<FullJob> full(sys(), data());
    ASSERT_TRUE(full.job.activate());
    ASSERT_EQ(full.job.backup(backupLocation), JobOutcome::Done);
    ASSERT_TRUE(fs::exists(backups / member.archive));

    // Wiped: a browser started again left only its list of profiles. The
    // full restore brings back every file, byte for byte.
    fs::remove_all(root);
    writeFile(root / (member.family == Family::Chromium ? "Local State" : "profiles.ini"),
              member.family == Family::Chromium ? "{}" : "[General]\nVersion=2\n");
    test::Wizard<FullJob> restoreAll(sys(), data());
    ASSERT_TRUE(restoreAll.job.activate());
    ASSERT_EQ(restoreAll.job.restore(backupLocation), JobOutcome::Done);
    EXPECT_EQ(dataOf(root), before);

    // The profile wiped, then its items restored into it.
    fs::remove_all(laid.profile);
    fs::create_directories(laid.profile);
    test::Wizard<SelectiveJob> restore(sys(), data());
    restore.job.listArchives(backupLocation);
    std::string windowsProfile = std::string(member.windows) +
                                 (member.family == Family::Firefox ? "/Profiles/" : "/") +
                                 laid.folder;
    std::replace(windowsProfile.begin(), windowsProfile.end(), '/', '\\');
    const std::string into = native ? pathToUtf8(laid.profile) : "C:\\" + windowsProfile;
    ASSERT_EQ(restore.job.restore(everything(into)), JobOutcome::Done);
    EXPECT_EQ(dataOf(laid.profile), profileBefore) << "every item's file back, byte for byte";
    const auto databases = member.family == Family::Chromium ? test::currentChromeDatabases()
                                                             : test::currentFirefoxDatabases();
    for (const auto& [database, table] : databases) {
        EXPECT_EQ(test::integrityOf(laid.profile / database), "ok") << database;
        EXPECT_GT(test::rowsIn(laid.profile / database, table), 1) << database;
    }
}

// What every installation has: a data root whose list of profiles or whose
// key file was lost is found by a profile's preferences, and a full restore
// puts the lost file back.
TEST_P(FamilyMember, IsFoundByAProfilesPreferencesOnceItsMarkerIsLost) {
    if (native && std::string(member.native).empty()) {
        return;
    }
    const Laid laid = layOut(member, root, native);
    test::Wizard<FullJob> full(sys(), data());
    ASSERT_TRUE(full.job.activate());
    ASSERT_EQ(full.job.backup(backupLocation), JobOutcome::Done);
    const std::map<std::string, std::string> before = dataOf(root);

    const fs::path marker =
        root / (member.family == Family::Chromium ? "Local State" : "profiles.ini");
    fs::remove(marker);
    if (member.family == Family::Chromium) {
        fs::remove(laid.profile / "Bookmarks"); // a user who never bookmarked
    }
    test::Wizard<SelectiveJob> listed(sys(), data());
    ASSERT_TRUE(listed.job.activate());
    EXPECT_THAT(listed.job.profiles.entries, ::testing::Contains(laid.folder));
    test::Wizard<FullJob> restore(sys(), data());
    ASSERT_TRUE(restore.job.activate());
    ASSERT_EQ(restore.job.restore(backupLocation), JobOutcome::Done);
    EXPECT_EQ(readFile(marker), before.at(fs::relative(marker, root).generic_string()));
    EXPECT_EQ(dataOf(root), before);
}

// The Flatpak or Snap package's home is searched too.
TEST_P(FamilyMember, IsFoundInItsSandboxedHome) {
    if (!native || std::string(member.sandboxed).empty()) {
        return;
    }
    const fs::path sandboxed = home / member.sandboxed;
    layOut(member, sandboxed, true);
    test::Wizard<FullJob> full(sys(), data());
    ASSERT_TRUE(full.job.activate());
    EXPECT_EQ(pathFromUtf8(full.state.ffpath), sandboxed);
}

INSTANTIATE_TEST_SUITE_P(Members, FamilyMember,
                         ::testing::Combine(::testing::ValuesIn(kMembers),
                                            ::testing::Values(Place{false}, Place{true})),
                         [](const auto& info) {
                             std::string name(std::get<0>(info.param).data().id);
                             std::erase(name, '-');
                             return name + (std::get<1>(info.param).native ? "Native" : "Prefix");
                         });

// Two browsers of one family side by side are two browsers, each with its own
// data root.
TEST(Families, ChromeAndChromiumSideBySideAreTwoBrowsers) {
    TempDir home;
    const auto native = makeSystemServices({}, {.home = pathToUtf8(home.path()), .login = "bob"});
    test::SamplePrefixFixture fx({.browsers = {}});
    const std::vector<std::tuple<SystemServices*, fs::path, fs::path>> places{
        {native.get(), home / ".config/google-chrome", home / ".config/chromium"},
        {&fx.services(), fx.onDriveC("users/demo/AppData/Local/Google/Chrome/User Data"),
         fx.onDriveC("users/demo/AppData/Local/Chromium/User Data")},
    };
    for (const auto& [services, chromeRoot, chromiumRoot] : places) {
        test::writeCurrentChromeUserData(chromeRoot);
        test::writeCurrentChromeUserData(chromiumRoot);
        test::Wizard<FullJob> chrome(*services, chromeDataSet());
        test::Wizard<FullJob> chromium(*services, chromiumDataSet());
        ASSERT_TRUE(chrome.job.activate());
        ASSERT_TRUE(chromium.job.activate());
        EXPECT_EQ(*services->paths().toNative(chrome.state.ffpath), chromeRoot);
        EXPECT_EQ(*services->paths().toNative(chromium.state.ffpath), chromiumRoot);
    }
}

// The current Opera: older versions keep the profile in the data root
// itself, newer ones in "Default"; both are listed and backed up.
TEST(Families, TheCurrentOperaKeepsItsProfileInTheDataRootOrInDefault) {
    test::SamplePrefixFixture fx({.browsers = {}});
    const fs::path root = fx.onDriveC("users/demo/AppData/Roaming/Opera Software/Opera Stable");
    TempDir made;
    test::writeCurrentChromeUserData(made / "User Data");
    fs::create_directories(root);
    fs::rename(made / "User Data" / "Local State", root / "Local State");
    for (const auto& entry : fs::directory_iterator(made / "User Data" / "Default")) {
        fs::rename(entry.path(), root / entry.path().filename());
    }
    fs::create_directories(fx.onDriveC("backups"));

    test::Wizard<SelectiveJob> old(fx.services(), operaStableDataSet());
    ASSERT_TRUE(old.job.activate());
    EXPECT_EQ(old.job.profiles.entries, std::vector<std::string>{"Opera Stable"});
    SelectiveChoices c;
    c.backupLocation = "C:\\backups";
    c.customLocation = std::string(kCustomProfilePlaceholder);
    c.ticked = [](std::string_view) { return true; };
    ASSERT_EQ(old.job.backup(c), JobOutcome::Done);
    const std::set<std::string> stored = storedNames(fx.onDriveC("backups/Opera Stable.dat"));
    for (const char* name : {"History", "Bookmarks", "Login Data", "Local State", "Preferences"}) {
        EXPECT_TRUE(stored.count(name)) << name;
    }

    // Newer: the profile in "Default", the data root keeping the rest.
    fs::create_directories(root / "Default");
    for (const char* name : {"Preferences", "History", "Bookmarks"}) {
        fs::rename(root / name, root / "Default" / name);
    }
    test::Wizard<SelectiveJob> current(fx.services(), operaStableDataSet());
    ASSERT_TRUE(current.job.activate());
    EXPECT_EQ(current.job.profiles.entries, std::vector<std::string>{"Default"});
}

// "Local State" as the browser writes it names the profiles; anything else
// (a file cut short by a crash, another program's JSON) names none and
// breaks nothing.
TEST(ProfileNames, ComeFromLocalStatesProfileListAndAreShownWhereTheyTellMore) {
    const std::string localState =
        R"({"os_crypt":{"encrypted_key":"x"},"profile":{"info_cache":{)"
        R"("Profile 3":{"name":"Кухня","is_using_default_name":false},)"
        R"("Default":{"name":"Personal"},"Broken":7,"Nameless":{"name":12}},)"
        R"("last_used":"Default"}})";
    EXPECT_EQ(chromiumProfileNames(localState),
              (std::vector<std::pair<std::string, std::string>>{{"Profile 3", "Кухня"},
                                                                {"Default", "Personal"}}));
    for (const std::string& damaged :
         {std::string(localState, 0, localState.size() / 2), std::string(), std::string("[1,2]"),
          std::string(R"({"profile":[]})"), std::string(R"({"profile":{"info_cache":"x"}})")}) {
        EXPECT_TRUE(chromiumProfileNames(damaged).empty()) << damaged;
    }
    EXPECT_EQ(profileLabel("Work", "Profile 1"), "Work (Profile 1)");
    EXPECT_EQ(profileLabel("Work", "qwer5678.dev"), "Work (qwer5678.dev)");
    EXPECT_EQ(profileLabel("default-release", "abcd1234.default-release"), "");
    EXPECT_EQ(profileLabel("Default", "Default"), "");
    EXPECT_EQ(profileLabel("", "Profile 2"), "");
    EXPECT_EQ(profileLabel("release", "abcd1234-release"), "release (abcd1234-release)");
}

} // namespace
} // namespace vellarion
