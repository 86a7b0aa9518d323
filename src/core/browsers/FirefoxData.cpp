// The data sets of Firefox and Flock. Flock keeps its data in Firefox's
// layout under "Flock\Browser" instead of "Mozilla\Firefox".
#include "core/browsers/DataSet.h"
#include "core/browsers/FirefoxProfiles.h"
#include "core/services/Error.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/services/Text.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/WizardState.h"

#include <algorithm>
#include <random>
#include <set>

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

constexpr std::string_view kCustomProfileName = "123456789ff_custom";

constexpr std::string_view kNoVersionHere =
    "Flock has no version for this machine: its data is reached in a Windows prefix "
    "(--prefix) or on a Windows disk (--windows-root).";

// The Firefox item boxes in backup order. The first column holds the short
// captions, the other two the long ones.
std::vector<SelectiveItem> firefoxItems() {
    return {
        boxItem("CheckBox4", "Расширения", "extensions",
                {file("extensions.ini"), file("addons.sqlite"), folder("extensions"),
                 folder("adblockplus"), file("extensions.json"), file("addons.json"),
                 file("addonStartup.json.lz4"), file("extension-preferences.json"),
                 file("extension-settings.json"), folder("browser-extension-data")},
                5, {1, 4}),
        boxItem("CheckBox6", "Установки", "settings",
                {file("prefs.js"), file("user.js"), folder("preferences"), file("containers.json")},
                5, {1, 6}),
        boxItem("CheckBox11", "Поисковые системы", "search",
                {file("search.rdf"), file("search.sqlite"), folder("searchplugins"),
                 file("search.json.mozlz4")},
                5, {2, 5}),
        boxItem("CheckBox15", "Пользовательские настройки", "customizations", {folder("chrome")}, 0,
                {2, 6}),
        boxItem(
            "CheckBox12", "Сессии", "sessions",
            {file("sessionstore.js"), file("sessionstore.jsonlz4"), folder("sessionstore-backups")},
            5, {3, 3}),
        boxItem("CheckBox13", "Орфографические словари", "dictionary", {file("persdict.dat")}, 5,
                {3, 1}),
        boxItem("CheckBox14", "Панель инструментов", "toolbars",
                {file("localstore.rdf"), file("xulstore.json")}, 5, {3, 2}),
        boxItem("CheckBox1", "Закладки", "bookmarks",
                {file("bookmarks.html"), file("places.sqlite"), file("favicons.sqlite"),
                 folder("bookmarkbackups")},
                5, {1, 1}),
        boxItem("CheckBox2", "Куки", "cookies", {file("cookies.txt"), file("cookies.sqlite")}, 5,
                {1, 2}),
        // Current versions keep their download list in places.sqlite, with
        // the bookmarks and the history: restoring it here would replace
        // those too, so this item takes only the files of the downloads.
        boxItem("CheckBox3", "История загрузок", "downloads",
                {file("downloads.rdf"), file("downloads.sqlite"), file("downloads.json")}, 5,
                {1, 3}),
        boxItem("CheckBox5", "История", "history",
                {file("history.dat"), file("places.sqlite"), file("favicons.sqlite")}, 5, {1, 5}),
        boxItem("CheckBox10", "Mime types", "mime-types",
                {file("mimeTypes.rdf"), file("handlers.json")}, 5, {2, 4}),
        boxItem(
            "CheckBox7", "Сохраненные данные форм", "forms",
            {file("formhistory.dat"), file("formhistory.sqlite"), file("autofill-profiles.json")},
            5, {2, 1}),
        // logins.json (and logins.db) are encrypted with the key in key4.db:
        // the two only work together.
        boxItem("CheckBox8", "Сохраненные пароли", "passwords",
                {file("key3.db"), file("signons2.txt"), file("signons3.txt"),
                 file("signons.sqlite"), file("key4.db"), file("logins.json"),
                 file("logins-backup.json"), file("logins.db")},
                5, {2, 2}),
        boxItem("CheckBox9", "Настройки сайта(ов)", "site-settings",
                {file("hostperm.1"), file("content-prefs.sqlite"), file("permissions.sqlite")}, 5,
                {2, 3}),
        boxItem("CheckBox18", "Темы и оформление", "themes",
                {file("lightweighttheme-footer"), file("lightweighttheme-header"),
                 file("stylish.sqlite")},
                5, {3, 4}),
    };
}

// What the selective windows of Firefox and Flock share: the data root is
// the marker's folder, the profiles are the folders of its "Profiles", and
// a profile folder's name loses its first 9 characters ("abcd1234.").
SelectiveWizardData mozillaSelective(WizardTexts texts, std::string_view restoreArchiveHeading,
                                     std::vector<SelectiveItem> items,
                                     std::vector<std::string_view> restoreOrder) {
    return SelectiveWizardData{
        .texts = texts,
        .restoreArchiveHeading = restoreArchiveHeading,
        .rootTails = {"profiles.ini"},
        .profilesFolder = "Profiles",
        .customProfileName = kCustomProfileName,
        .stagingRule = StagingRule::AfterFirstNine,
        .backupOpeningStep = 5,
        .backupClosingStep = 9,
        .restoreOpeningStep = 5,
        .restoreClosingStep = 9,
        .items = std::move(items),
        // Wide enough for the longest captions in the system's own font.
        .grid = {.columns = {24, 200, 401}},
        .restoreOrder = std::move(restoreOrder),
    };
}

// On this machine itself Firefox's own list names its profiles: they lie
// beside profiles.ini (Linux has no "Profiles" folder) or anywhere at all.
std::optional<std::vector<std::pair<std::string, std::string>>>
listFromProfilesIni(SystemServices& services, const WizardState& state) {
    if (!services.isNative()) {
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>> listed;
    if (const auto text = services.readSmallFile(joinPath(state.mpath, "profiles.ini"))) {
        for (const ListedProfile& profile : listedProfiles(*text, state.mpath)) {
            if (services.directoryExists(profile.path)) {
                listed.emplace_back(profile.folder, profile.path);
            }
        }
    }
    return listed;
}

std::string registerInProfilesIni(SystemServices& services, const WizardState& state,
                                  std::string_view name) {
    const std::string ini = joinPath(state.mpath, "profiles.ini");
    std::optional<std::string> text =
        state.mpath.empty() ? std::nullopt : services.readSmallFile(ini);
    std::string relative = relativeTo(withoutTrailingSeparators(state.ffpath), state.mpath);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const bool below = !name.empty() && !relative.empty() && relative != state.ffpath;
    if (!text && below && !services.fileExists(ini)) {
        text = std::string(); // the first profile of a new data root
    }
    if (!text || (!below && !services.isNative()) ||
        !services.replaceFileContent(ini, below ? withRelativeProfileAdded(*text, name, relative)
                                                : withProfileAdded(*text, state.ffpath))) {
        return services.isNative() || below
                   ? "The profile could not be added to Firefox's profiles.ini."
                   : "Only Firefox of this machine keeps a profile list that a folder can be "
                     "added to.";
    }
    return {};
}

// A new profile's folder as Firefox names one: eight random letters and
// digits, a dot, the name; in the data root's "Profiles" where there is one
// (Windows, and newer versions on Linux), else in the data root itself.
std::string newProfileFolder(SystemServices& services, const WizardState& state,
                             std::string_view name) {
    for (char c : name) {
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20) {
            throw Error("A profile's name cannot hold \\ / : * ? \" < > | or control "
                        "characters: \"" +
                        std::string(name) + "\"");
        }
    }
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string salt;
    for (int i = 0; i < 8; ++i) {
        salt += kLetters[random() % kLetters.size()];
    }
    const std::string profiles = joinPath(state.mpath, "Profiles");
    const bool inProfiles = !services.isNative() || services.directoryExists(profiles);
    return joinPath(inProfiles ? profiles : std::string(withoutTrailingSeparators(state.mpath)),
                    salt + "." + std::string(name));
}

// The names of the installations' sections ("Install4F96D1932A9F858E") of
// the text.
std::set<std::string> installSections(const std::optional<std::string>& text) {
    std::set<std::string> names;
    if (!text) {
        return names;
    }
    for (size_t start = 0; start < text->size();) {
        size_t end = text->find('\n', start);
        end = end == std::string::npos ? text->size() : end;
        std::string_view line = std::string_view(*text).substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (startsWithIgnoreCase(line, "[Install") && line.ends_with("]")) {
            names.emplace(line.substr(1, line.size() - 2));
        }
    }
    return names;
}

// A data root restored from another system or installation (a Windows disk
// onto this machine, an old computer onto a new one): profiles it named by
// whole paths that mean nothing here are named below the data root they
// came along in, and when none of the installations the archive knows is
// one of the target's (or the target had none), their sections no longer
// lock the restored default away from the browser installed here.
void adaptMovedDataRoot(FullJob& job, const std::filesystem::path& unpacked) {
    SystemServices& services = job.services();
    const PathMapper& paths = services.paths();
    const std::string target = job.state().ffpath;
    std::set<std::string> ours;
    std::set<std::string> theirs;
    for (const char* file : {"profiles.ini", "installs.ini"}) {
        ours.merge(installSections(services.readSmallFile(joinPath(target, file))));
        theirs.merge(installSections(services.readSmallFile(paths.fromNative(unpacked / file))));
    }
    const bool unlock =
        std::none_of(theirs.begin(), theirs.end(),
                     [&ours](const std::string& name) { return ours.contains(name); });
    const auto relocate = [&](std::string_view path) -> std::string {
        if (services.directoryExists(path)) {
            return {}; // a profile kept elsewhere on this very system
        }
        const std::string name = lastName(path);
        std::error_code ec;
        for (const char* below : {"Profiles/", ""}) {
            const std::string relative = below + name;
            if (!name.empty() &&
                std::filesystem::is_directory(unpacked / pathFromUtf8(relative), ec)) {
                return relative;
            }
        }
        return {};
    };
    for (const char* file : {"profiles.ini", "installs.ini"}) {
        const std::string unpackedFile = paths.fromNative(unpacked / file);
        const std::optional<std::string> text = services.readSmallFile(unpackedFile);
        if (!text) {
            continue;
        }
        const std::string adapted = movedProfilesIni(*text, relocate, unlock);
        if (adapted != *text && !services.replaceFileContent(unpackedFile, adapted)) {
            throw Error("Cannot write " + paths.toDisplay(unpackedFile) +
                        ". Nothing was restored.");
        }
    }
}

SelectiveWizardData firefoxSelective() {
    SelectiveWizardData sel = mozillaSelective(
        {.backupCaption = "Архивация данных Firefox",
         .restoreCaption = "Восстановление данных Firefox",
         .backupTitle = "Мастер резервного копирования Firefox",
         .restoreTitle = "Добро пожаловать в мастер восстановления Firefox"},
        "Файл резервной копии:", firefoxItems(),
        {"CheckBox4", "CheckBox15", "CheckBox6", "CheckBox11", "CheckBox5", "CheckBox10",
         "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox12",
         "CheckBox13", "CheckBox14", "CheckBox18"});
    sel.hooks.listProfiles = listFromProfilesIni;
    sel.hooks.registerProfile = registerInProfilesIni;
    sel.hooks.newProfileFolder = newProfileFolder;
    return sel;
}

} // namespace

const BrowserDataSet& firefoxDataSet() {
    static const BrowserDataSet data{
        .id = "firefox",
        .name = "Firefox",
        .markerFile = "profiles.ini",
        .candidates = VELLARION_MOZILLA_CANDIDATES("Mozilla\\Firefox"),
        .lockFiles = {"parent.lock", ".parentlock"},
        .newRoots = {{"{sfp}\\Mozilla\\Firefox"}},
        .full =
            {
                .texts = {.backupCaption = "Архивация данных Firefox",
                          .restoreCaption = "Firefox",
                          .backupTitle = "Мастер полного резервного копирования Firefox",
                          .restoreTitle = "Мастер полного восстановления Firefox"},
                .rootTails = {"\\profiles.ini"},
                .archiveName = "fbackup_firefox.dat",
                .hooks = {.unpacked = adaptMovedDataRoot},
            },
        .selective = firefoxSelective(),
        // Firefox's homes on Linux: the classic one, the XDG one of newer
        // versions, and those of the snap and flatpak packages.
        .native = {.candidates = {"{home}/.mozilla/firefox", "{config}/mozilla/firefox",
                                  "{home}/snap/firefox/common/.mozilla/firefox",
                                  "{home}/.var/app/org.mozilla.firefox/.mozilla/firefox",
                                  "{home}/.var/app/org.mozilla.firefox/config/mozilla/firefox"},
                   // Every version reads the classic home where it is there
                   // (newer ones make the XDG one only when it is not).
                   .newRoots = {{"{home}/snap/firefox/common/.mozilla/firefox",
                                 "{home}/snap/firefox"},
                                {"{home}/.var/app/org.mozilla.firefox/.mozilla/firefox",
                                 "{home}/.var/app/org.mozilla.firefox"},
                                {"{home}/.mozilla/firefox"}}},
    };
    return data;
}

namespace {

// Flock's items are Firefox's but for three points: its extensions item
// has no add-on database and no ad-block folder, it has no themes item, and
// two items of its own come after the form data.
std::vector<SelectiveItem> flockItems() {
    std::vector<SelectiveItem> items;
    for (SelectiveItem& each : firefoxItems()) {
        if (each.checkBox == "CheckBox18") {
            continue;
        }
        if (each.checkBox == "CheckBox4") {
            each.entries = {file("extensions.ini"), folder("extensions")};
        }
        items.push_back(std::move(each));
        if (items.back().checkBox == "CheckBox7") {
            items.push_back({.checkBox = "CheckBox16",
                             .caption = "Особые данные",
                             .key = "flock-data",
                             .entries = {file("flock-data.sqlite"), file("webdetective.sqlite")},
                             .backupStep = 5,
                             .restoreStep = 5,
                             .place = {3, 4}});
            items.push_back({.checkBox = "CheckBox17",
                             .caption = "Поток данных",
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
                .texts = {.backupCaption = "Архивация данных Flock",
                          .restoreCaption = "Восстановление данных Flock",
                          .backupTitle = "Мастер полного резервного копирования Flock",
                          .restoreTitle = "Мастер полного восстановления Flock"},
                .rootTails = {"\\profiles.ini"},
                .archiveName = "fbackup_flock.dat",
            },
        .selective = mozillaSelective(
            {.backupCaption = "Архивация данных Flock",
             .restoreCaption = "Восстановление данных Flock",
             .backupTitle = "Мастер резервного копирования Flock",
             .restoreTitle = "Мастер восстановления Flock"},
            "Профиль:", flockItems(),
            {"CheckBox4", "CheckBox15", "CheckBox6", "CheckBox11", "CheckBox5", "CheckBox10",
             "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox7", "CheckBox16", "CheckBox17",
             "CheckBox8", "CheckBox9", "CheckBox12", "CheckBox13", "CheckBox14"}),
        .native = {.unavailable = kNoVersionHere},
    };
    return data;
}

#undef VELLARION_MOZILLA_CANDIDATES

} // namespace vellarion
