// The data set of Internet Explorer: mostly registry keys of the current
// user, each saved to a hive file of its own, and three folders. There are
// no profiles; the data is searched when a job starts, and the staging
// folders and archives have fixed names.
#include "core/browsers/DataSet.h"
#include "core/browsers/FullJobAccess.h"
#include "core/browsers/WizardState.h"
#include "core/services/SystemServices.h"
#include "core/text/Catalogue.h"

#include <utility>

namespace vellarion {

namespace {

constexpr int kStep = 9;
// The pause between some of the registry saves.
constexpr int kPauseMs = 1000;

// The cookie and favourites folders live in the user's folder of the
// version's layout. Without a login name there is no such folder: a restore
// would otherwise land in the parent of every user's folder.
void deriveFolders(WizardState& state) {
    const UserEnvironment env = state.environment();
    if (env.uzer.empty()) {
        state.cook.clear();
        state.favo.clear();
        return;
    }
    state.cook =
        versionedFolder(env, {"{drv}\\Documents and Settings\\{uzer}",
                              "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Microsoft\\Windows"});
    state.favo =
        versionedFolder(env, {"{drv}\\Documents and Settings\\{uzer}", "{drv}\\Users\\{uzer}"});
}

// The selective windows step before each ticked item; the full wizard has a
// step table of its own after the items.
constexpr ItemEntry kLeadingStep = progressStep(kStep, JobKind::Both, WizardKind::Selective);

ItemEntry folderOrUntick(std::string_view name, ItemHome home) {
    ItemEntry entry = folder(name, home);
    entry.untickWhenMissing = true;
    return entry;
}

std::vector<SelectiveItem> items() {
    const auto item = [](std::string_view box, std::string_view caption, std::string_view key,
                         std::vector<ItemEntry> entries, ItemPlace place) {
        entries.insert(entries.begin(), kLeadingStep);
        return SelectiveItem{.checkBox = box,
                             .caption = caption,
                             .key = key,
                             .entries = std::move(entries),
                             .place = place};
    };
    SelectiveItem search =
        item("CheckBox6", N_("Поисковые системы"), "search",
             {registryKey("Software\\Microsoft\\Internet Explorer\\SearchScopes\\", "search.reg"),
              // The full wizard pauses before its step after the item.
              pauseFor(kPauseMs, JobKind::Both, WizardKind::Full)},
             {2, 2});
    search.evenWhenUnticked = {pauseFor(kPauseMs, JobKind::Both, WizardKind::Selective)};
    return {
        item("CheckBox1", N_("Автозаполнение"), "autocomplete",
             {registryKey("Software\\Microsoft\\Internet Explorer\\IntelliForms\\",
                          "autocomplete.reg")},
             {1, 1}),
        item("CheckBox2", N_("Куки"), "cookies", {folderOrUntick("Cookies", ItemHome::Cookies)},
             {1, 2}),
        // Shown, but read by no job.
        {.checkBox = "CheckBox3",
         .caption = "Dialup",
         .place = {1, 3},
         .tickedAtStart = false,
         .enabled = false,
         .followsSelectAll = false},
        item("CheckBox4", N_("Избранное"), "favorites",
             {folderOrUntick("Favorites", ItemHome::Favorites)}, {1, 4}),
        item("CheckBox5", N_("История"), "history",
             {registryKey("Software\\Microsoft\\Internet Explorer\\TypedURLs\\", "hist.reg")},
             {2, 1}),
        search,
        // The key first, then the folder of the data root.
        item("CheckBox7", N_("Сессии"), "sessions",
             {registryKey("Software\\Microsoft\\Internet Explorer\\Recovery\\", "rec.reg"),
              folderOrUntick("Recovery", ItemHome::Profile)},
             {2, 3}),
        item(
            "CheckBox8", N_("Настройки"), "settings",
            {registryKey("Software\\Microsoft\\Internet Explorer\\Main\\", "set.reg"),
             registryKey("Software\\Microsoft\\Internet Explorer\\Settings\\", "set2.reg"),
             pauseFor(kPauseMs),
             registryKey("Software\\Microsoft\\Internet Explorer\\Security\\", "set3.reg"),
             registryKey("Software\\Microsoft\\Internet Explorer\\Download\\", "set4.reg"),
             pauseFor(kPauseMs), progressStep(kStep),
             registryKey("Software\\Microsoft\\Internet Explorer\\International\\", "set5.reg"),
             registryKey("Software\\Microsoft\\Internet Explorer\\PhishingFilter\\", "set6.reg"),
             pauseFor(kPauseMs),
             registryKey("Software\\Microsoft\\Internet Explorer\\User Preferences\\", "set7.reg")},
            {3, 1}),
        item("CheckBox9", N_("Панель инструментов"), "toolbar",
             {registryKey("Software\\Microsoft\\Internet Explorer\\Toolbar\\", "toolbar.reg")},
             {3, 2}),
        item("CheckBox10", N_("Панель ссылок"), "links",
             {registryKey("Software\\Microsoft\\Internet Explorer\\LinksBar\\", "links.reg")},
             {3, 3}),
    };
}

// The full job's search, which also finds the cookie and favourites folders.
FullJobHooks fullHooks() {
    FullJobHooks hooks;
    hooks.locate = [](FullJobAccess& job) {
        const bool found = job.searchDataRoot({});
        deriveFolders(job.state());
        return found;
    };
    return hooks;
}

// The full windows' part, built on its own: inside the one aggregate of the
// whole data set, GCC 12 warns (wrongly) that its list of staged items may
// be destroyed uninitialised.
FullWizardData fullData() {
    return FullWizardData{
        .texts = {.backupCaption = N_("Архивация данных Internet Explorer"),
                  .restoreCaption = N_("Восстановление данных Internet Explorer"),
                  .backupTitle = N_("Мастер полного резервного копирования Internet Explorer"),
                  .restoreTitle = N_("Мастер полного восстановления Internet Explorer")},
        .rootTails = {"brndlog.txt"},
        .archiveName = "fbackup_ie.dat",
        .searchesAtJobStart = true,
        // Twelve steps of 9 with the two before the items; a restore
        // takes no step after the links.
        .staged = {.items = {{"CheckBox1", kStep, kStep},
                             {"CheckBox2", kStep, kStep},
                             {"CheckBox4", kStep, kStep},
                             {"CheckBox5", kStep, kStep},
                             {"CheckBox6", kStep, kStep},
                             {"CheckBox7", kStep, kStep},
                             {"CheckBox8", kStep, kStep},
                             {"CheckBox9", kStep, kStep},
                             {"CheckBox10", kStep, 0}},
                   .stagingName = "fbackup_ie",
                   .openingStep = kStep,
                   .stagedStep = kStep},
        .hooks = fullHooks(),
    };
}

} // namespace

const BrowserDataSet& internetExplorerDataSet() {
    static const BrowserDataSet data{
        .id = "ie",
        .name = "Internet Explorer",
        .markerFile = "brndlog.txt",
        .candidates =
            {
                {"{sfp}\\Microsoft\\Internet Explorer", "{sfp}\\Microsoft\\Internet Explorer"},
                {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Microsoft\\Internet "
                 "Explorer",
                 "{drv}\\Users\\{uzer}\\AppData\\Local\\Microsoft\\Internet Explorer"},
                {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application "
                 "Data\\Microsoft\\Internet Explorer",
                 "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Microsoft\\Internet Explorer"},
            },
        .full = fullData(),
        .selective =
            {
                .texts = {.backupCaption = N_("Архивация данных Internet Explorer"),
                          .restoreCaption = N_("Восстановление данных Internet Explorer"),
                          .backupTitle = N_("Мастер резервного копирования Internet Explorer"),
                          .restoreTitle = N_("Мастер восстановления Internet Explorer")},
                // The restore window has no archive list: this heads the
                // profile list.
                .restoreArchiveHeading = N_("Восстановление следующих профилей:"),
                .rootTails = {"brndlog.txt"},
                .listsProfiles = false,
                .searchesAtJobStart = true,
                .fixedArchiveName = "backup_ie.dat",
                .stagingRule = StagingRule::Fixed,
                .fixedStagingName = "backup_ie",
                .backupOpeningStep = kStep,
                .backupClosingStep = kStep,
                .restoreOpeningStep = kStep,
                .restoreUnpackedStep = kStep,
                .busyWhilePacking = true,
                .items = items(),
                .restoreOrder = {"CheckBox1", "CheckBox2", "CheckBox4", "CheckBox5", "CheckBox6",
                                 "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox10"},
                .hooks = {.jobStarting = [](SystemServices&,
                                            WizardState& state) { deriveFolders(state); }},
            },
        .native = {.unavailable = "Internet Explorer has no version for this machine: its data "
                                  "is reached in a Windows prefix (--prefix) or on a Windows "
                                  "disk (--windows-root)."},
    };
    return data;
}

} // namespace vellarion
