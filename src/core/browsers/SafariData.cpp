// The data set of Safari. Its data root is the "Apple Computer" folder of the
// user's application data: "Safari" in it holds the marker and is the usual
// profile, "Preferences" beside it holds the settings of every profile.
#include "core/browsers/DataSet.h"
#include "core/text/Catalogue.h"

namespace vellarion {

namespace {

std::vector<SelectiveItem> safariItems() {
    return {
        boxItem("CheckBox1", N_("Закладки"), "bookmarks", {file("Bookmarks.plist")}, 8, {1, 1}),
        boxItem("CheckBox3", N_("Куки"), "cookies", {folder("Cookies")}, 8, {1, 3}),
        boxItem("CheckBox4", N_("Загрузки"), "downloads", {file("Downloads.plist")}, 0, {1, 4}),
        boxItem("CheckBox5", N_("Каналы/Ленты"), "feeds", {folder("PubSub")}, 8, {1, 5}),
        boxItem("CheckBox10", N_("Данные форм"), "forms", {file("Form Values.plist")}, 0, {1, 6}),
        boxItem("CheckBox6", N_("История"), "history", {file("History.plist")}, 8, {1, 7}),
        boxItem("CheckBox7", N_("Последняя сессия"), "last-session", {file("LastSession.plist")}, 8,
                {2, 1}),
        // The settings are the data root's, whichever profile the job uses.
        boxItem("CheckBox8", N_("Установки"), "settings",
                {folder("Preferences", ItemHome::DataRoot)}, 8, {2, 2}),
        boxItem("CheckBox9", N_("Топ сайтов"), "top-sites", {file("TopSites.plist")}, 8, {2, 3}),
        // No job reads the cache; the box only shows that it is never saved.
        {.checkBox = "CheckBox2", .caption = N_("Кэш"), .place = {1, 2}, .enabled = false},
    };
}

} // namespace

const BrowserDataSet& safariDataSet() {
    static const BrowserDataSet data{
        .id = "safari",
        .name = "Safari",
        .markerFile = "Bookmarks.plist",
        // Roaming data, the two per-user layouts, local data.
        .candidates =
            {
                {"{sfp}\\Apple Computer\\Safari", "{sfp}\\Apple Computer\\Safari"},
                {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Apple Computer\\Safari",
                 "{drv}\\Users\\{uzer}\\AppData\\Local\\Apple Computer\\Safari"},
                {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application Data\\Apple "
                 "Computer\\Safari",
                 "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Apple Computer\\Safari"},
                {"{loc}\\Apple Computer\\Safari", "{loc}\\Apple Computer\\Safari"},
            },
        .full =
            {
                .texts = {.backupCaption = N_("Архивация данных Safari"),
                          .restoreCaption = N_("Восстановление данных Safari"),
                          .backupTitle = N_("Мастер полного резервного копирования Safari"),
                          .restoreTitle = N_("Мастер полного восстановления Safari")},
                .rootTails = {"\\Safari\\Bookmarks.plist"},
                .archiveName = "fbackup_safari.dat",
            },
        .selective =
            {
                .texts = {.backupCaption = N_("Архивация данных Safari"),
                          .restoreCaption = N_("Восстановление данных Safari"),
                          .backupTitle = N_("Мастер резервного копирования Safari"),
                          .restoreTitle = N_("Мастер восстановления Safari")},
                .restoreArchiveHeading = N_("Файл резервной копии:"),
                .rootTails = {"Safari\\Bookmarks.plist"},
                // The settings folder lies beside the profiles but is none.
                .notProfiles = {"Preferences"},
                .customProfileName = "ch_custom",
                .stagingRule = StagingRule::WholeName,
                .backupOpeningStep = 8,
                .backupClosingStep = 8,
                .restoreOpeningStep = 5,
                .restoreClosingStep = 9,
                .items = safariItems(),
                .restoreOrder = {"CheckBox1", "CheckBox3", "CheckBox4", "CheckBox5", "CheckBox10",
                                 "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"},
            },
        .native = {.unavailable = "Safari has no version for this machine: its data is reached "
                                  "in a Windows prefix (--prefix) or on a Windows disk "
                                  "(--windows-root)."},
    };
    return data;
}

} // namespace vellarion
