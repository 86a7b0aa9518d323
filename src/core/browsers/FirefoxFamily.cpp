// The Firefox family: Firefox's item table and rules, and its layout: a
// data root with profiles.ini, the list of the profiles, which lie in its
// "Profiles" folder on Windows and beside the list on this machine itself.
#include "core/browsers/Families.h"
#include "core/browsers/FirefoxProfiles.h"
#include "core/browsers/FullJobAccess.h"
#include "core/browsers/ProfileNames.h"
#include "core/browsers/WizardState.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

namespace vellarion {

constexpr std::string_view kProfilesIni = "profiles.ini";
constexpr std::string_view kPrefs = "prefs.js";

// The family's item boxes in backup order. The first column holds the short
// captions, the other two the long ones.
std::vector<SelectiveItem> firefoxFamilyItems() {
    return {
        boxItem("CheckBox4", N_("Расширения"), "extensions",
                {file("extensions.ini"), file("addons.sqlite"), folder("extensions"),
                 folder("adblockplus"), file("extensions.json"), file("addons.json"),
                 file("addonStartup.json.lz4"), file("extension-preferences.json"),
                 file("extension-settings.json"), folder("browser-extension-data")},
                5, {1, 4}),
        boxItem("CheckBox6", N_("Установки"), "settings",
                {file("prefs.js"), file("user.js"), folder("preferences"), file("containers.json")},
                5, {1, 6}),
        boxItem("CheckBox11", N_("Поисковые системы"), "search",
                {file("search.rdf"), file("search.sqlite"), folder("searchplugins"),
                 file("search.json.mozlz4")},
                5, {2, 5}),
        boxItem("CheckBox15", N_("Пользовательские настройки"), "customizations",
                {folder("chrome")}, 0, {2, 6}),
        boxItem(
            "CheckBox12", N_("Сессии"), "sessions",
            {file("sessionstore.js"), file("sessionstore.jsonlz4"), folder("sessionstore-backups")},
            5, {3, 3}),
        boxItem("CheckBox13", N_("Орфографические словари"), "dictionary", {file("persdict.dat")},
                5, {3, 1}),
        boxItem("CheckBox14", N_("Панель инструментов"), "toolbars",
                {file("localstore.rdf"), file("xulstore.json")}, 5, {3, 2}),
        boxItem("CheckBox1", N_("Закладки"), "bookmarks",
                {file("bookmarks.html"), file("places.sqlite"), file("favicons.sqlite"),
                 folder("bookmarkbackups")},
                5, {1, 1}),
        boxItem("CheckBox2", N_("Куки"), "cookies", {file("cookies.txt"), file("cookies.sqlite")},
                5, {1, 2}),
        // Current versions keep their download list in places.sqlite, with
        // the bookmarks and the history: restoring it here would replace
        // those too, so this item takes only the files of the downloads.
        boxItem("CheckBox3", N_("История загрузок"), "downloads",
                {file("downloads.rdf"), file("downloads.sqlite"), file("downloads.json")}, 5,
                {1, 3}),
        boxItem("CheckBox5", N_("История"), "history",
                {file("history.dat"), file("places.sqlite"), file("favicons.sqlite")}, 5, {1, 5}),
        boxItem("CheckBox10", "Mime types", "mime-types",
                {file("mimeTypes.rdf"), file("handlers.json")}, 5, {2, 4}),
        boxItem(
            "CheckBox7", N_("Сохраненные данные форм"), "forms",
            {file("formhistory.dat"), file("formhistory.sqlite"), file("autofill-profiles.json")},
            5, {2, 1}),
        // logins.json (and logins.db) are encrypted with the key in key4.db:
        // the two only work together.
        boxItem("CheckBox8", N_("Сохраненные пароли"), "passwords",
                {file("key3.db"), file("signons2.txt"), file("signons3.txt"),
                 file("signons.sqlite"), file("key4.db"), file("logins.json"),
                 file("logins-backup.json"), file("logins.db")},
                5, {2, 2}),
        boxItem("CheckBox9", N_("Настройки сайта(ов)"), "site-settings",
                {file("hostperm.1"), file("content-prefs.sqlite"), file("permissions.sqlite")}, 5,
                {2, 3}),
        boxItem("CheckBox18", N_("Темы и оформление"), "themes",
                {file("lightweighttheme-footer"), file("lightweighttheme-header"),
                 file("stylish.sqlite")},
                5, {3, 4}),
    };
}

// What the selective windows of the family and Flock share: the data root is
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
        .customProfileName = "123456789ff_custom",
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

namespace {

// The profiles by the family's own list, each shown by the name it has
// there. On this machine itself the list says where they lie (beside it, or
// anywhere); where it was lost, the folders with preferences are the
// profiles. In the Windows layout the folders of "Profiles" are.
std::optional<std::vector<ProfileEntry>> listMozillaProfiles(SystemServices& services,
                                                             const WizardState& state) {
    const std::string& root = state.mpath;
    std::vector<ListedProfile> inList;
    if (const auto text = services.readSmallFile(joinPath(root, kProfilesIni))) {
        inList = listedProfiles(*text, root);
    }
    std::vector<ProfileEntry> listed;
    if (services.isNative()) {
        for (const ListedProfile& profile : inList) {
            if (services.directoryExists(profile.path)) {
                listed.push_back(
                    {profile.folder, profile.path, profileLabel(profile.name, profile.folder)});
            }
        }
        if (!listed.empty() || !inList.empty()) {
            return listed;
        }
        for (const std::string& folder : {root, joinPath(root, "Profiles")}) {
            std::vector<std::string> below;
            services.GetSubDirectories(folder, below);
            for (const std::string& name : below) {
                if (services.fileExists(joinPath(joinPath(folder, name), kPrefs))) {
                    listed.push_back({name, joinPath(folder, name)});
                }
            }
        }
        return listed;
    }
    const std::string profiles = joinPath(root, "Profiles");
    std::vector<std::string> below;
    services.GetSubDirectories(profiles, below);
    for (const std::string& name : below) {
        std::string label;
        for (const ListedProfile& profile : inList) {
            if (equalsIgnoreCase(profile.folder, name)) {
                label = profileLabel(profile.name, name);
                break;
            }
        }
        listed.push_back({name, joinPath(profiles, name), label});
    }
    // A profile the list keeps elsewhere in the data root (one that came
    // from another system, beside profiles.ini rather than in "Profiles").
    const auto windowsForm = [](std::string path) {
        std::replace(path.begin(), path.end(), '/', '\\');
        return std::string(withoutTrailingSeparators(path));
    };
    for (const ListedProfile& profile : inList) {
        const std::string path = windowsForm(profile.path);
        const bool known = std::any_of(listed.begin(), listed.end(), [&](const ProfileEntry& e) {
            return equalsIgnoreCase(windowsForm(e.folder), path);
        });
        const bool inRoot = !relativeTo(path, windowsForm(root)).empty();
        if (!known && inRoot && services.directoryExists(path)) {
            listed.push_back({profile.folder, path, profileLabel(profile.name, profile.folder)});
        }
    }
    return listed;
}

// A restored custom folder, or a new profile, made one of the browser's
// profiles: appended to the data root's list. The text to tell the user
// when it could not be.
ProfileListChange registerInProfilesIni(SystemServices& services, const WizardState& state,
                                        std::string_view name, std::string_view browser) {
    const std::string ini = joinPath(state.mpath, "profiles.ini");
    std::optional<std::string> text =
        state.mpath.empty() ? std::nullopt : services.readSmallFile(ini);
    std::string relative = relativeTo(withoutTrailingSeparators(state.ffpath), state.mpath);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const bool below = !name.empty() && !relative.empty() && relative != state.ffpath;
    if (!text && below && !services.fileExists(ini)) {
        text = std::string(); // the first profile of a new data root
    }
    if (!below && !services.isNative()) {
        return {.refused = "Only " + std::string(browser) +
                           " of this machine keeps a profile list that a folder can be added to."};
    }
    if (!text) {
        return {.refused = "The profile could not be added to " + std::string(browser) +
                           "'s profiles.ini: it cannot be read."};
    }
    return {.file = ini,
            .content = below ? withRelativeProfileAdded(*text, name, relative)
                             : withProfileAdded(*text, state.ffpath)};
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

// A data root restored from another system or installation (a Windows disk
// onto this machine, an old computer onto a new one): profiles it named by
// whole paths that mean nothing here are named below the data root they
// came along in, and when none of the installations the archive knows is
// one of the target's (or the target had none), their sections no longer
// lock the restored default away from the browser installed here.
void adaptMovedDataRoot(FullJobAccess& job, const std::filesystem::path& unpacked) {
    SystemServices& services = job.services();
    const PathMapper& paths = services.paths();
    const std::string target = job.state().ffpath;
    constexpr const char* kLists[] = {"profiles.ini", "installs.ini"};
    std::set<std::string> ours;
    std::set<std::string> theirs;
    std::optional<std::string> restored[std::size(kLists)];
    for (std::size_t i = 0; i < std::size(kLists); ++i) {
        ours.merge(
            installationSections(services.readSmallFile(joinPath(target, kLists[i])).value_or("")));
        restored[i] = services.readSmallFile(paths.fromNative(unpacked / kLists[i]));
        theirs.merge(installationSections(restored[i].value_or("")));
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
    for (std::size_t i = 0; i < std::size(kLists); ++i) {
        if (!restored[i]) {
            continue;
        }
        const std::string adapted = movedProfilesIni(*restored[i], relocate, unlock);
        const std::string unpackedFile = paths.fromNative(unpacked / kLists[i]);
        if (adapted != *restored[i] && !services.replaceFileContent(unpackedFile, adapted)) {
            throw Error("Cannot write " + paths.toDisplay(unpackedFile) +
                        ". Nothing was restored.");
        }
    }
}

} // namespace

BrowserDataSet firefoxFamilyMember(const FamilyMember& member) {
    SelectiveWizardData selective = mozillaSelective(
        selectiveWindowTexts(member.name), N_("Файл резервной копии:"), firefoxFamilyItems(),
        {"CheckBox4", "CheckBox15", "CheckBox6", "CheckBox11", "CheckBox5", "CheckBox10",
         "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox12",
         "CheckBox13", "CheckBox14", "CheckBox18"});
    selective.customProfileName = member.customProfileName;
    selective.hooks.listProfiles = listMozillaProfiles;
    selective.hooks.registerProfile = [browser = member.name](SystemServices& services,
                                                              const WizardState& state,
                                                              std::string_view name) {
        return registerInProfilesIni(services, state, name, browser);
    };
    selective.hooks.newProfileFolder = newProfileFolder;
    return BrowserDataSet{
        .id = member.id,
        .name = member.name,
        .markerFile = kProfilesIni,
        .candidates = member.windowsRoots,
        .lockFiles = {"parent.lock", ".parentlock"},
        // The list is there once the browser ran; a profile's preferences
        // where the list was lost.
        .newRoots = firstRootOf(member.windowsRoots),
        .rootMarkers = {kProfilesIni, "Profiles\\*\\prefs.js", "*\\prefs.js"},
        .full =
            {
                .texts = fullWindowTexts(member.name),
                .rootTails = {"\\profiles.ini"},
                .archiveName = member.archiveName,
                .hooks = {.unpacked = adaptMovedDataRoot},
            },
        .selective = std::move(selective),
        .native = {.candidates = member.nativeRoots,
                   .newRoots = firstRootOf(member.nativeRoots),
                   .unavailable = member.unavailableHere},
        .commandName = member.commandName,
        .title = member.title,
    };
}

} // namespace vellarion
