// Firefox, the Firefox family's first member, and Flock, which keeps
// Firefox's old layout under "Flock\Browser" instead of "Mozilla\Firefox".
#include "core/browsers/Families.h"
#include "core/text/Catalogue.h"

namespace vellarion {

namespace {

// The four candidate directories, for one browser folder such as
// "Mozilla\Firefox": roaming data, the two per-user layouts, local data.
#define VELLARION_MOZILLA_CANDIDATES(folder)                                                       \
    {                                                                                              \
        {"{sfp}\\" folder, "{sfp}\\" folder},                                                      \
            {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application Data\\" folder,   \
             "{drv}\\Users\\{uzer}\\AppData\\Local\\" folder},                                     \
            {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\" folder,                   \
             "{drv}\\Users\\{uzer}\\AppData\\Roaming\\" folder},                                   \
            {"{loc}\\" folder, "{loc}\\" folder},                                                  \
    }

constexpr std::string_view kNoVersionHere =
    "Flock has no version for this machine: its data is reached in a Windows prefix "
    "(--prefix) or on a Windows disk (--windows-root).";

} // namespace

const BrowserDataSet& firefoxDataSet() {
    static const BrowserDataSet data = [] {
        BrowserDataSet firefox = firefoxFamilyMember({
            .id = "firefox",
            .name = "Firefox",
            .windowsRoots = VELLARION_MOZILLA_CANDIDATES("Mozilla\\Firefox"),
            // The classic home, the XDG one of newer versions, and those of
            // the Snap and Flatpak packages.
            .nativeRoots = {"{home}/.mozilla/firefox", "{config}/mozilla/firefox",
                            "{home}/snap/firefox/common/.mozilla/firefox",
                            "{home}/.var/app/org.mozilla.firefox/.mozilla/firefox",
                            "{home}/.var/app/org.mozilla.firefox/config/mozilla/firefox"},
            .archiveName = "fbackup_firefox.dat",
            .customProfileName = "123456789ff_custom",
        });
        // Its full restore window has always had the bare name for a caption.
        firefox.full.texts.restoreCaption = "Firefox";
        // Where it makes its data root: every version reads the classic home
        // where it is there (newer ones make the XDG one only when it is
        // not); a packaged one reads only its own.
        firefox.newRoots = {{"{sfp}\\Mozilla\\Firefox"}};
        firefox.native.newRoots = {
            {"{home}/snap/firefox/common/.mozilla/firefox", "{home}/snap/firefox"},
            {"{home}/.var/app/org.mozilla.firefox/.mozilla/firefox",
             "{home}/.var/app/org.mozilla.firefox"},
            {"{home}/.mozilla/firefox"}};
        return firefox;
    }();
    return data;
}

namespace {

// Flock's items are Firefox's but for three points: its extensions item
// has no add-on database and no ad-block folder, it has no themes item, and
// two items of its own come after the form data.
std::vector<SelectiveItem> flockItems() {
    std::vector<SelectiveItem> items;
    for (SelectiveItem& each : firefoxFamilyItems()) {
        if (each.checkBox == "CheckBox18") {
            continue;
        }
        if (each.checkBox == "CheckBox4") {
            each.entries = {file("extensions.ini"), folder("extensions")};
        }
        items.push_back(std::move(each));
        if (items.back().checkBox == "CheckBox7") {
            items.push_back({.checkBox = "CheckBox16",
                             .caption = N_("Особые данные"),
                             .key = "flock-data",
                             .entries = {file("flock-data.sqlite"), file("webdetective.sqlite")},
                             .backupStep = 5,
                             .restoreStep = 5,
                             .place = {3, 4}});
            items.push_back({.checkBox = "CheckBox17",
                             .caption = N_("Поток данных"),
                             .key = "feeds",
                             .entries = {file("feedcontent.sqlite")},
                             .backupStep = 5,
                             .restoreStep = 5,
                             .place = {3, 5}});
        }
    }
    return items;
}

} // namespace

const BrowserDataSet& flockDataSet() {
    static const BrowserDataSet data{
        .id = "flock",
        .name = "Flock",
        .markerFile = "profiles.ini",
        .candidates = VELLARION_MOZILLA_CANDIDATES("Flock\\Browser"),
        .lockFiles = {"parent.lock", ".parentlock"},
        .full =
            {
                .texts = {.backupCaption = N_("Архивация данных Flock"),
                          .restoreCaption = N_("Восстановление данных Flock"),
                          .backupTitle = N_("Мастер полного резервного копирования Flock"),
                          .restoreTitle = N_("Мастер полного восстановления Flock")},
                .rootTails = {"\\profiles.ini"},
                .archiveName = "fbackup_flock.dat",
            },
        .selective = mozillaSelective(
            {.backupCaption = N_("Архивация данных Flock"),
             .restoreCaption = N_("Восстановление данных Flock"),
             .backupTitle = N_("Мастер резервного копирования Flock"),
             .restoreTitle = N_("Мастер восстановления Flock")},
            N_("Профиль:"), flockItems(),
            {"CheckBox4", "CheckBox15", "CheckBox6", "CheckBox11", "CheckBox5", "CheckBox10",
             "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox7", "CheckBox16", "CheckBox17",
             "CheckBox8", "CheckBox9", "CheckBox12", "CheckBox13", "CheckBox14"}),
        .native = {.unavailable = kNoVersionHere},
    };
    return data;
}

#undef VELLARION_MOZILLA_CANDIDATES

} // namespace vellarion
