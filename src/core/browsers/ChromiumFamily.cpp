// The Chromium family: Chrome's item table and rules, and the "User Data"
// layout every member keeps: "Local State" (the profile list and the key of
// the saved passwords) beside one folder per profile, or, in older current
// Operas, the one profile in the data root itself.
#include "core/browsers/ChromeLocalState.h"
#include "core/browsers/ChromiumKeys.h"
#include "core/browsers/Families.h"
#include "core/browsers/ProfileNames.h"
#include "core/browsers/WizardState.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/text/Catalogue.h"

namespace vellarion {

namespace {

constexpr std::string_view kLocalState = "Local State";
constexpr std::string_view kPreferences = "Preferences";

// The family's items in the order both jobs run them. Steps differ by
// direction, and several items take none at all.
std::vector<SelectiveItem> chromiumItems(std::string_view encryptedNote) {
    // The key the browser encrypts saved passwords and cookies with lies in
    // the "Local State" of its data root. A restore puts it back only into a
    // data root that has none: one that the browser made anew holds the key
    // of its other profiles.
    ItemEntry localState = file("Local State", ItemHome::DataRoot);
    localState.restoreOnlyIfMissing = true;
    std::vector<SelectiveItem> items{
        boxItem("CheckBox10", N_("Расширения"), "extensions",
                {folder("Extensions"), folder("Local Extension Settings"),
                 folder("Extension State"), folder("Extension Rules"), folder("Extension Scripts")},
                7, 7, {1, 6}),
        boxItem("CheckBox11", N_("Данные Plugin"), "plugin-data", {folder("Plugin Data")}, 7, 7,
                {2, 4}),
        boxItem("CheckBox1", N_("Закладки"), "bookmarks",
                {file("Bookmarks"), file("Bookmarks.bak")}, 7, 7, {1, 1}),
        // Current versions keep the cookies in "Network" on Windows.
        boxItem("CheckBox3", N_("Куки"), "cookies",
                {file("Cookies"), file("Network\\Cookies"), localState}, 7, 7, {1, 3}),
        boxItem("CheckBox4", N_("Текущая сессия"), "current-session",
                {file("Current Session"), folder("Sessions")}, 7, 7, {1, 4}),
        boxItem("CheckBox5", N_("Текущие вкладки"), "current-tabs", {file("Current Tabs")}, 0, 0,
                {1, 5}),
        boxItem("CheckBox6", "Extension cookies", "extension-cookies", {file("Extension Cookies")},
                7, 7, {1, 7}),
        boxItem("CheckBox7", N_("История"), "history",
                {file("History"), file("Archived History"), file("History-journal"),
                 file("Favicons"), file("Shortcuts")},
                7, 7, {2, 1}),
        boxItem("CheckBox8", N_("Последняя сессия"), "last-session", {file("Last Session")}, 0, 0,
                {2, 2}),
        boxItem("CheckBox9", N_("Последние вкладки"), "last-tabs", {file("Last Tabs")}, 7, 0,
                {2, 3}),
        boxItem("CheckBox12", N_("Установки"), "settings",
                {file("Preferences"), file("QuotaManager"), file("TransportSecurity"),
                 file("Secure Preferences"), file("Network\\TransportSecurity")},
                0, 7, {2, 5}),
        boxItem("CheckBox13", N_("Миниатюры"), "thumbnails", {file("Thumbnails")}, 7, 7, {2, 6}),
        boxItem("CheckBox14", N_("Посещенные ссылки"), "visited-links", {file("Visited Links")}, 7,
                7, {2, 7}),
        boxItem("CheckBox16", "Login data", "passwords",
                {file("Login Data"), file("Login Data For Account"), localState}, 0, 0, {3, 2}),
        boxItem("CheckBox15", N_("Веб-данные"), "web-data",
                {file("Web Data"), file("Web Data-journal"), file("Account Web Data")}, 0, 0,
                {3, 1}),
        boxItem("CheckBox17", N_("Топ сайтов"), "top-sites", {file("Top Sites")}, 0, 0, {3, 3}),
        // No job reads the cache; the box only shows that it is never saved.
        {.checkBox = "CheckBox2", .caption = N_("Кэш"), .place = {1, 2}, .enabled = false},
    };
    // "Выбрать все" and "Снять все" leave the saved passwords as the user
    // set them.
    for (SelectiveItem& each : items) {
        if (each.checkBox == "CheckBox16") {
            each.followsSelectAll = false;
        }
        if (each.checkBox == "CheckBox16" || each.checkBox == "CheckBox3") {
            each.restoreNote = encryptedNote;
        }
    }
    return items;
}

std::string encryptedNote(std::string_view name) {
    return formatText(N_("%1 шифрует сохраненные пароли и куки ключом, привязанным к учетной "
                         "записи и компьютеру, на которых они сохранены: на другом компьютере "
                         "или под другой учетной записью %1 не сможет их прочитать."),
                      {name});
}

// The profiles of a data root: each folder with its preferences, shown by
// the name the user gave it in "Local State"; before them the data root
// itself where it is the profile.
std::optional<std::vector<ProfileEntry>> listChromiumProfiles(SystemServices& services,
                                                              const WizardState& state) {
    const std::string& root = state.mpath;
    std::vector<std::pair<std::string, std::string>> names;
    if (const auto text = services.readSmallFile(joinPath(root, kLocalState))) {
        names = chromiumProfileNames(*text);
    }
    const auto labelOf = [&names](const std::string& folder) {
        for (const auto& [each, name] : names) {
            if (each == folder) {
                return profileLabel(name, folder);
            }
        }
        return std::string();
    };
    std::vector<ProfileEntry> listed;
    if (services.fileExists(joinPath(root, kPreferences))) {
        listed.push_back({lastName(root), std::string(withoutTrailingSeparators(root))});
    }
    std::vector<std::string> below;
    services.GetSubDirectories(root, below);
    for (const std::string& name : below) {
        const std::string folder = joinPath(root, name);
        if (services.fileExists(joinPath(folder, kPreferences))) {
            listed.push_back({name, folder, labelOf(name)});
        }
    }
    return listed;
}

} // namespace

BrowserDataSet chromiumFamilyMember(const FamilyMember& member) {
    const std::vector<SelectiveItem> items = chromiumItems(keptText(encryptedNote(member.name)));
    std::vector<std::string_view> order;
    for (const SelectiveItem& each : items) {
        if (!each.key.empty()) {
            order.push_back(each.checkBox); // both jobs take the items in one order
        }
    }
    return BrowserDataSet{
        .id = member.id,
        .name = member.name,
        .markerFile = kLocalState,
        .candidates = member.windowsRoots,
        // Held in the data root while the browser runs: a link to the host
        // and the process on POSIX, an open file on Windows.
        .lockFiles = {"SingletonLock", "lockfile"},
        // "Local State" is there once the browser ran; a profile's
        // preferences where that file was lost.
        .newRoots = firstRootOf(member.windowsRoots),
        .rootMarkers = {kLocalState, "*\\Preferences", kPreferences},
        .full =
            {
                .texts = fullWindowTexts(member.name),
                .rootTails = {"\\Local State"},
                .archiveName = member.archiveName,
            },
        .selective =
            {
                .texts = selectiveWindowTexts(member.name),
                .restoreArchiveHeading = N_("Файл резервной копии:"),
                .rootTails = {kLocalState},
                // Every profile has its preferences; the other folders of
                // the data root are the browser's own.
                .profileMarker = kPreferences,
                .customProfileName = member.customProfileName,
                .stagingRule = StagingRule::WholeName,
                .backupOpeningStep = 7,
                .backupClosingStep = 7,
                .restoreOpeningStep = 5,
                .restoreClosingStep = 9,
                .items = items,
                .restoreOrder = order,
                .hooks = {.listProfiles = listChromiumProfiles,
                          .registerProfile = registerInLocalState,
                          .newProfileFolder = newListedProfileFolder},
            },
        .native = {.candidates = member.nativeRoots,
                   .newRoots = firstRootOf(member.nativeRoots),
                   .unavailable = member.unavailableHere},
        .commandName = member.commandName,
        .title = member.title,
        .keys = chromiumKeyHooks({member.name, member.keyringApplication, member.keyringLabel}),
    };
}

} // namespace vellarion
