// The data set of Chrome. Its data root is the "User Data" folder; every
// folder in it is a profile, "Default" the one the marker is looked for in.
#include "core/browsers/ChromeLocalState.h"
#include "core/browsers/DataSet.h"

namespace vellarion {

namespace {

constexpr std::string_view kEncryptedNote =
    "Chrome шифрует сохраненные пароли и куки ключом, привязанным к учетной записи и "
    "компьютеру, на которых они сохранены: на другом компьютере или под другой учетной "
    "записью Chrome не сможет их прочитать.";

// Chrome's items in the order both jobs run them. Steps differ by
// direction, and several items take none at all.
std::vector<SelectiveItem> chromeItems() {
    // The key Chrome encrypts saved passwords and cookies with lies in the
    // "Local State" of its data root. A restore puts it back only into a data
    // root that has none: one that Chrome made anew holds the key of its other
    // profiles.
    ItemEntry localState = file("Local State", ItemHome::DataRoot);
    localState.restoreOnlyIfMissing = true;
    std::vector<SelectiveItem> items{
        boxItem("CheckBox10", "Расширения", "extensions",
                {folder("Extensions"), folder("Local Extension Settings"),
                 folder("Extension State"), folder("Extension Rules"), folder("Extension Scripts")},
                7, 7, {1, 6}),
        boxItem("CheckBox11", "Данные Plugin", "plugin-data", {folder("Plugin Data")}, 7, 7,
                {2, 4}),
        boxItem("CheckBox1", "Закладки", "bookmarks", {file("Bookmarks"), file("Bookmarks.bak")}, 7,
                7, {1, 1}),
        // Current versions keep the cookies in "Network" on Windows.
        boxItem("CheckBox3", "Куки", "cookies",
                {file("Cookies"), file("Network\\Cookies"), localState}, 7, 7, {1, 3}),
        boxItem("CheckBox4", "Текущая сессия", "current-session",
                {file("Current Session"), folder("Sessions")}, 7, 7, {1, 4}),
        boxItem("CheckBox5", "Текущие вкладки", "current-tabs", {file("Current Tabs")}, 0, 0,
                {1, 5}),
        boxItem("CheckBox6", "Extension cookies", "extension-cookies", {file("Extension Cookies")},
                7, 7, {1, 7}),
        boxItem("CheckBox7", "История", "history",
                {file("History"), file("Archived History"), file("History-journal"),
                 file("Favicons"), file("Shortcuts")},
                7, 7, {2, 1}),
        boxItem("CheckBox8", "Последняя сессия", "last-session", {file("Last Session")}, 0, 0,
                {2, 2}),
        boxItem("CheckBox9", "Последние вкладки", "last-tabs", {file("Last Tabs")}, 7, 0, {2, 3}),
        boxItem("CheckBox12", "Установки", "settings",
                {file("Preferences"), file("QuotaManager"), file("TransportSecurity"),
                 file("Secure Preferences"), file("Network\\TransportSecurity")},
                0, 7, {2, 5}),
        boxItem("CheckBox13", "Миниатюры", "thumbnails", {file("Thumbnails")}, 7, 7, {2, 6}),
        boxItem("CheckBox14", "Посещенные ссылки", "visited-links", {file("Visited Links")}, 7, 7,
                {2, 7}),
        boxItem("CheckBox16", "Login data", "passwords",
                {file("Login Data"), file("Login Data For Account"), localState}, 0, 0, {3, 2}),
        boxItem("CheckBox15", "Веб-данные", "web-data",
                {file("Web Data"), file("Web Data-journal"), file("Account Web Data")}, 0, 0,
                {3, 1}),
        boxItem("CheckBox17", "Топ сайтов", "top-sites", {file("Top Sites")}, 0, 0, {3, 3}),
        // No job reads the cache; the box only shows that it is never saved.
        {.checkBox = "CheckBox2", .caption = "Кэш", .place = {1, 2}, .enabled = false},
    };
    // "Выбрать все" and "Снять все" leave the saved passwords as the user
    // set them.
    for (SelectiveItem& each : items) {
        if (each.checkBox == "CheckBox16") {
            each.followsSelectAll = false;
        }
        if (each.checkBox == "CheckBox16" || each.checkBox == "CheckBox3") {
            each.restoreNote = kEncryptedNote;
        }
    }
    return items;
}

} // namespace

const BrowserDataSet& chromeDataSet() {
    static const BrowserDataSet data{
        .id = "chrome",
        .name = "Chrome",
        .markerFile = "Bookmarks",
        // Roaming data, the two per-user layouts, local data; the marker
        // lies in the "Default" profile.
        .candidates =
            {
                {"{sfp}\\Google\\Chrome\\User Data\\Default",
                 "{sfp}\\Google\\Chrome\\User Data\\Default"},
                {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Google\\Chrome\\"
                 "User Data\\Default",
                 "{drv}\\Users\\{uzer}\\AppData\\Local\\Google\\Chrome\\User Data\\Default"},
                {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application "
                 "Data\\Google\\Chrome\\User Data\\Default",
                 "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Google\\Chrome\\User Data\\Default"},
                {"{loc}\\Google\\Chrome\\User Data\\Default",
                 "{loc}\\Google\\Chrome\\User Data\\Default"},
            },
        // Held in "User Data" while Chrome runs: a link to the host and the
        // process on POSIX, an open file on Windows.
        .lockFiles = {"SingletonLock", "lockfile"},
        .newRoots = {{"{loc}\\Google\\Chrome\\User Data"}},
        .full =
            {
                .texts = {.backupCaption = "Архивация данных Chrome",
                          .restoreCaption = "Восстановление данных Chrome",
                          .backupTitle = "Мастер полного резервного копирования Chrome",
                          .restoreTitle = "Мастер полного восстановления Chrome"},
                .rootTails = {"\\Default\\Bookmarks"},
                .archiveName = "fbackup_chrome.dat",
            },
        .selective =
            {
                .texts = {.backupCaption = "Архивация данных Chrome",
                          .restoreCaption = "Восстановление данных Chrome",
                          .backupTitle = "Мастер резервного копирования Chrome",
                          .restoreTitle = "Добро пожаловать в мастер восстановления Chrome"},
                .restoreArchiveHeading = "Файл резервной копии:",
                .rootTails = {"Default\\Bookmarks"},
                // Every profile has its preferences; the other folders of
                // "User Data" are Chrome's own.
                .profileMarker = "Preferences",
                .customProfileName = "ch_custom",
                .stagingRule = StagingRule::WholeName,
                .backupOpeningStep = 7,
                .backupClosingStep = 7,
                .restoreOpeningStep = 5,
                .restoreClosingStep = 9,
                .items = chromeItems(),
                // Both jobs take the items in one order.
                .restoreOrder = {"CheckBox10", "CheckBox11", "CheckBox1", "CheckBox3", "CheckBox4",
                                 "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9",
                                 "CheckBox12", "CheckBox13", "CheckBox14", "CheckBox16",
                                 "CheckBox15", "CheckBox17"},
                .hooks = {.registerProfile = registerInLocalState,
                          .newProfileFolder = newListedProfileFolder},
            },
        // Chrome's and Chromium's "User Data" on Linux, their snap and
        // flatpak homes too; the first that is there is used.
        .native = {.candidates = {"{config}/google-chrome", "{config}/chromium",
                                  "{home}/snap/chromium/common/chromium",
                                  "{home}/.var/app/com.google.Chrome/config/google-chrome",
                                  "{home}/.var/app/org.chromium.Chromium/config/chromium"},
                   .markerFile = "Local State",
                   .newRoots = {{"{home}/.var/app/com.google.Chrome/config/google-chrome",
                                 "{home}/.var/app/com.google.Chrome"},
                                {"{config}/google-chrome"}}},
    };
    return data;
}

} // namespace vellarion
