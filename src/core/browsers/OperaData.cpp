// The data set of Opera. Its data root holds one folder per installation
// ("Opera", or the name of the folder Opera was installed in, such as
// "Opera 10"), with the settings either directly in it or in its "profile"
// subfolder; the local mail store lies apart, under the local application
// data.
#include "core/browsers/DataSet.h"
#include "core/browsers/FullJobAccess.h"
#include "core/browsers/WizardState.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/text/Catalogue.h"

namespace vellarion {

namespace {

constexpr std::string_view kMarker = "speeddial.ini";
constexpr std::string_view kArchive = "fbackup_opera.dat";
constexpr std::string_view kMailArchive = "fbackup_opera2.dat";
constexpr std::string_view kDefaultInstallation = "Opera";
constexpr std::string_view kNotFoundTypeName = "Settings Files Not Found. Please Type Folder Name.";
constexpr std::string_view kNotFoundRecheckName =
    "Settings Files Not Found. Please Re-Check Folder Name.";

// The mail directory of an installation: its folder under the local
// application data, whose "mail" is the local mail store. None without a
// local application-data folder: the path would start at a drive's root.
std::string mailDirectory(const WizardState& state, std::string_view installation) {
    if (state.loc.empty()) {
        return {};
    }
    return state.loc + "\\Opera\\" + std::string(installation) + "\\";
}

// The profile directory of a chosen installation: its "profile" subfolder
// when that holds the installation's settings, else the installation folder
// itself. Each installation is tested on its own layout, so that one
// without "profile" is neither read from a folder that is not there nor
// restored into one Opera never reads.
void chooseOperaProfile(SystemServices& services, WizardState& state, bool custom) {
    if (custom) {
        // A custom location keeps its local mail store under the local data
        // too, in the folder of its profile name.
        state.mdir = mailDirectory(state, state.profile);
        return;
    }
    state.ffpath2 = state.ffpath + "profile\\" + std::string(kMarker);
    if (services.fileExists(state.ffpath2)) {
        state.ffpath += "profile\\";
    }
    state.mdir = mailDirectory(state, state.profile);
}

// The full job's two archives: the data root, found through the typed
// installation folder name when there is one, and the local mail store of
// that installation, which a restore puts back only when its archive is
// there.
bool planOperaArchives(FullJobAccess& job) {
    WizardState& state = job.state();
    std::string installation(kDefaultInstallation);
    if (!state.customdir.empty()) {
        // A name with a separator or a drive, or made of dots, would lead
        // the search (and the archives) out of the data root.
        const bool found = isOneFolderName(state.customdir) &&
                           job.searchDataRoot({{"N", state.customdir}}) && job.hasDataRoot();
        if (!found) {
            job.refuse(std::string(kNotFoundRecheckName));
            return false;
        }
        installation = state.customdir;
    } else if (!job.hasDataRoot()) {
        job.refuse(job.notFoundMessage());
        return false;
    }
    if (job.backingUp() && !job.services().directoryExists(state.ffpath)) {
        job.refuse(job.notFoundMessage());
        return false;
    }
    const std::string mail = mailDirectory(state, installation);
    state.mdir = mail.empty() ? std::string() : mail + "mail";
    job.addArchive({state.ffpath, job.archivePath(kArchive), true});
    if (!state.mdir.empty()) {
        job.addArchive({state.mdir, job.archivePath(kMailArchive), false});
    }
    return true;
}

FullJobHooks fullHooks() {
    FullJobHooks hooks;
    hooks.plan = planOperaArchives;
    return hooks;
}

// The item boxes in the order both jobs run them.
std::vector<SelectiveItem> operaItems() {
    using Kind = ItemEntry::Kind;
    // The local mail store travels as "loc\mail" beside the profile's "mail".
    const ItemEntry localMail{.kind = Kind::Folder,
                              .name = "mail",
                              .home = ItemHome::MailDirectory,
                              .stagedAs = "loc\\mail"};
    // Both widget folders merge into one "widgets" of the archive, which a
    // restore puts back as the profile's "widgets"; an archive that holds
    // "profile\widgets" goes there too.
    const ItemEntry profileWidgetsSaved{.kind = Kind::Folder,
                                        .name = "profile\\widgets",
                                        .stagedAs = "widgets",
                                        .job = JobKind::Backup};
    const ItemEntry profileWidgetsRestored{.kind = Kind::Folder,
                                           .name = "widgets",
                                           .stagedAs = "profile\\widgets",
                                           .job = JobKind::Restore};
    return {
        boxItem("CheckBox1", N_("Закладки"), "bookmarks",
                {file("opera6.adr"), file("bookmarks.adr")}, 5, {1, 1}),
        boxItem("CheckBox12", N_("Сессии"), "sessions", {folder("sessions")}, 5, {2, 5}),
        boxItem("CheckBox13", N_("Скины"), "skins", {folder("skin")}, 5, {2, 6}),
        boxItem("CheckBox14", N_("Настройка панели инструментов"), "toolbars", {folder("toolbar")},
                5, {2, 7}),
        boxItem("CheckBox10", N_("Настройки клавиатуры"), "keyboard", {folder("keyboard")}, 5,
                {1, 6}),
        boxItem("CheckBox6", N_("Почта и веб-каналы"), "mail", {folder("mail"), localMail}, 5,
                {1, 7}),
        boxItem("CheckBox7", N_("Конфигурация меню"), "menus", {folder("menu")}, 5, {2, 1}),
        boxItem("CheckBox8", N_("Конфигурация мыши"), "mouse", {folder("mouse")}, 5, {2, 2}),
        boxItem("CheckBox2", N_("Данные сертификата"), "certificates",
                {file("opcacrt6.dat"), file("opcert6.dat")}, 5, {1, 2}),
        boxItem("CheckBox3", N_("Контакты"), "contacts", {file("contacts.adr")}, 5, {1, 3}),
        boxItem("CheckBox4", N_("Куки"), "cookies", {file("cookies4.dat")}, 5, {1, 4}),
        boxItem("CheckBox5", N_("История"), "history",
                {file("download.dat"), file("global.dat"), file("global_history.dat"),
                 file("typed_history.xml")},
                5, {1, 5}),
        boxItem("CheckBox9", N_("Примечания"), "notes", {file("notes.adr")}, 5, {2, 3}),
        // The item steps after its files, before its folder.
        boxItem("CheckBox11", N_("Установки"), "settings",
                {file("adprefs.ini"), file("opera6.ini"), file("operaprefs.ini"),
                 file("override_downloaded.ini"), file("search.ini"), file("speeddial.ini"),
                 file("tips.ini"), file("tasks.xml"), file("trusted_repositories.ini"),
                 file("urlfilter.ini"), progressStep(5), folder("dictionaries")},
                0, {2, 4}),
        boxItem("CheckBox15", N_("Посещенные ссылки"), "visited-links", {file("vlink4.dat")}, 5,
                {3, 1}),
        boxItem("CheckBox16", N_("Данные (пароли)"), "passwords", {file("wand.dat")}, 5, {3, 2}),
        boxItem("CheckBox17", N_("Виджеты и расширения"), "widgets",
                {folder("widgets"), profileWidgetsSaved, profileWidgetsRestored}, 0, {3, 3}),
    };
}

std::vector<std::string_view> boxesOf(const std::vector<SelectiveItem>& items) {
    std::vector<std::string_view> boxes;
    for (const SelectiveItem& each : items) {
        boxes.push_back(each.checkBox);
    }
    return boxes;
}

} // namespace

const BrowserDataSet& operaDataSet() {
    static const std::vector<SelectiveItem> items = operaItems();
    static const BrowserDataSet data{
        .id = "opera",
        .name = "Opera",
        .markerFile = kMarker,
        // v101 and v102 first; {N} is the installation folder.
        .candidates =
            {
                {"{sfp}\\Opera\\{N}", "{sfp}\\Opera\\{N}"},
                {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Opera\\{N}",
                 "{drv}\\Users\\{uzer}\\AppData\\Local\\Opera\\{N}"},
                {"{sfp}\\Opera\\{N}\\profile", "{sfp}\\Opera\\{N}\\profile"},
                {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Opera\\{N}\\profile",
                 "{drv}\\Users\\{uzer}\\AppData\\Local\\Opera\\{N}\\profile"},
                {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application "
                 "Data\\Opera\\{N}\\profile",
                 "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Opera\\{N}\\profile"},
                {"{loc}\\Opera\\{N}\\profile", "{loc}\\Opera\\{N}\\profile"},
            },
        .templateDefaults = {{"N", std::string(kDefaultInstallation)}},
        // Held in the profile folder while Opera runs (a record lock).
        .lockFiles = {"lock"},
        .full =
            {
                .texts = {.backupCaption = N_("Архивация данных Opera"),
                          .restoreCaption = N_("Восстановление данных Opera"),
                          .backupTitle = N_("Мастер полного резервного копирования Opera"),
                          .restoreTitle = N_("Мастер полного восстановления Opera")},
                .rootTails = {"\\{N}\\profile\\speeddial.ini", "\\{N}\\speeddial.ini"},
                .archiveName = kArchive,
                .notFoundMessage = kNotFoundTypeName,
                .hooks = fullHooks(),
                .installFolderPrompt =
                    N_("Введите имя каталога установки браузера Opera. Например: Если ваш браузер "
                       "установлен в C:\\Program Files\\Opera 10, просто введите «Opera 10» (без "
                       "кавычек и/или косой черты)."),
            },
        .selective =
            {
                .texts = {.backupCaption = N_("Архивация данных Opera"),
                          .restoreCaption = N_("Восстановление данных Opera"),
                          .backupTitle = N_("Мастер резервного копирования Opera"),
                          .restoreTitle = N_("Мастер восстановления Opera")},
                .restoreArchiveHeading = N_("Профиль:"),
                // A marker in the folder "Opera" or in its "profile" gives
                // the same data root, with its trailing separator.
                .rootTails = {"Opera\\profile\\speeddial.ini", "Opera\\speeddial.ini"},
                .customProfileName = "op_custom",
                .stagingRule = StagingRule::WholeName,
                .backupOpeningStep = 5,
                .backupClosingStep = 5,
                .restoreOpeningStep = 5,
                .restoreClosingStep = 9,
                .items = items,
                // The long captions of the second column need its width.
                .grid = {.columns = {24, 190, 412}},
                .restoreOrder = boxesOf(items),
                .hooks =
                    {
                        .rootFound =
                            [](SystemServices&, WizardState& state) {
                                // The default installation's layout file.
                                state.ffpath2 =
                                    state.ffpath + "Opera\\profile\\" + std::string(kMarker);
                            },
                        .profileChosen = chooseOperaProfile,
                    },
            },
        // The Opera of this machine is the current one (operaStableDataSet).
        .native = {.unavailable =
                       "The classic Opera has no version for this machine: its data is reached "
                       "in a Windows prefix (--prefix) or on a Windows disk (--windows-root)."},
        .ownName = "opera-classic",
        .title = "Opera (classic)",
    };
    return data;
}

} // namespace vellarion
