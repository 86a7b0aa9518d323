#pragma once

#include "core/browsers/CarriedKeys.h"
#include "core/services/Environment.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellarion {

class FullJobAccess;
class SystemServices;
struct WizardState;

// The texts and names of one window family (full or selective) of a browser.
struct WizardTexts {
    std::string_view backupCaption;  // window caption of the backup window
    std::string_view restoreCaption; // window caption of the restore window
    std::string_view backupTitle;    // `Label1` of the backup window
    std::string_view restoreTitle;   // `Label1` of the restore window
};

// A browser's departures from the full job's fixed sequence, written
// against what a running job offers them (FullJobAccess.h).
// Each one is optional; a browser that needs none packs its data root into
// its archive and unpacks it there again.
struct FullJobHooks {
    // Replaces the marker search at activation (a browser whose data is not
    // found by a marker). Returns whether the data was found.
    std::function<bool(FullJobAccess&)> locate{};
    // Says what the job packs or unpacks (FullJob::addArchive) once the
    // location, and on restore the archive, passed their checks. Returning
    // false stops the job; the hook has told the user why
    // (FullJobAccess::refuse). Without it: the located data root into archiveName.
    std::function<bool(FullJobAccess&)> plan{};
    // Around the archive codec, inside the busy cursor: a staging folder is
    // filled before packing and removed after it, or put back in place after
    // unpacking. Not run once the codec failed.
    std::function<void(FullJobAccess&)> beforePacking{};
    std::function<void(FullJobAccess&)> afterPacking{};
    std::function<void(FullJobAccess&)> beforeUnpacking{};
    std::function<void(FullJobAccess&)> afterUnpacking{};
    // A data root's archive unpacked into the job's own native folder,
    // before its files are swapped into place (the same transaction): what
    // names the system the data came from is made to name this one.
    std::function<void(FullJobAccess&, const std::filesystem::path& unpacked)> unpacked{};
};

// One item of the selective table as a full job runs it: every entry of the
// item (but those only the selective wizard runs), then the full job's own
// step (0: none).
struct FullItemStep {
    std::string_view checkBox;
    int backupStep = 0;
    int restoreStep = 0;
};

// A full job that stages items instead of packing the data root: the same
// items as the browser's selective wizard (by their check boxes, all of them,
// in this order), with the full job's own steps of its own progress bar.
struct FullItemPlan {
    std::vector<FullItemStep> items;
    // The staging folder in the backup location ("fbackup_ie").
    std::string_view stagingName;
    // Before the staging folder is made (backup) or the archive unpacked
    // (restore), and once it is.
    int openingStep = 0;
    int stagedStep = 0;
};

// What the full wizard ("Safe Backup", "Safe Restore") needs of a browser:
// the whole data root goes into one archive of a fixed name.
struct FullWizardData {
    WizardTexts texts;
    // Removed, one after the other, every occurrence and ignoring case, from
    // the marker's path to give the data root without a trailing separator.
    std::vector<std::string_view> rootTails;
    // The archive in the backup location ("fbackup_firefox.dat"). A restore
    // needs it to be there before anything else.
    std::string_view archiveName;
    // Shown when the data root is not found; empty: "Не найден файл параметров".
    std::string_view notFoundMessage = {};
    // The search runs when the job starts (Next), not at activation, and a
    // marker that is not found is no refusal (Internet Explorer).
    bool searchesAtJobStart = false;
    // Items staged into the archive instead of the data root (empty: the
    // data root is packed).
    FullItemPlan staged = {};
    FullJobHooks hooks = {};
    // The windows ask for the name of the browser's installation folder
    // with this text (`Label2` over `Edit1`, shown once the data is not
    // found) and the job takes the name from `customdir`; empty: no such
    // folder is asked for.
    std::string_view installFolderPrompt = {};
};

// --- The selective wizard ("Backup", "Restore" of ticked items) ---

// Where an item's file or folder lives, read from the window's state at the
// time of the job. A home that is empty (no data root was found, say) holds
// nothing: its entries are skipped as missing.
enum class ItemHome {
    Profile,       // the profile directory (`ffpath` during a job)
    DataRoot,      // the browser's data root found at activation (`mpath`)
    MailDirectory, // the profile's mail directory (`mdir`)
    Cookies,       // the parent of the cookie folder (`cook`)
    Favorites,     // the parent of the favourites folder (`favo`)
};

// Which of the two jobs runs an entry.
enum class JobKind { Both, Backup, Restore };

// Which wizard family runs an entry: a step that only the selective windows
// take, say, where the full wizard has its own step table.
enum class WizardKind { Both, Selective, Full };

// One thing an item does, in order: copy a file or a folder, save or load a
// registry key, step the progress bar, pause.
struct ItemEntry {
    enum class Kind { File, Folder, RegistryKey, Step, Pause };
    Kind kind = Kind::File;
    // File, Folder: the path below the home ("prefs.js", "profile\widgets").
    // RegistryKey: the key below HKEY_CURRENT_USER.
    std::string_view name{};
    ItemHome home = ItemHome::Profile;
    // Where the entry lies inside the staging directory when that is not
    // `name`: a registry key's hive file ("hist.reg"); a folder kept below
    // another folder ("loc\mail"). A folder is copied under its own last
    // name into the parent of this path.
    std::string_view stagedAs{};
    // Step: the amount; Pause: milliseconds.
    int amount = 0;
    JobKind job = JobKind::Both;
    WizardKind wizard = WizardKind::Both;
    // A missing folder unticks the item's box (the window shows that it
    // was not saved).
    bool untickWhenMissing = false;
    // A restore puts the file back only where none is there: a file the
    // whole browser shares (Chrome's "Local State") that a browser already
    // running again has made anew is not replaced under its other profiles.
    bool restoreOnlyIfMissing = false;

    std::string_view stagedPath() const { return stagedAs.empty() ? name : stagedAs; }
};

constexpr ItemEntry file(std::string_view name, ItemHome home = ItemHome::Profile) {
    return {.kind = ItemEntry::Kind::File, .name = name, .home = home};
}
constexpr ItemEntry folder(std::string_view name, ItemHome home = ItemHome::Profile) {
    return {.kind = ItemEntry::Kind::Folder, .name = name, .home = home};
}
constexpr ItemEntry registryKey(std::string_view key, std::string_view hiveFile) {
    return {.kind = ItemEntry::Kind::RegistryKey, .name = key, .stagedAs = hiveFile};
}
constexpr ItemEntry progressStep(int amount, JobKind job = JobKind::Both,
                                 WizardKind wizard = WizardKind::Both) {
    return {.kind = ItemEntry::Kind::Step, .amount = amount, .job = job, .wizard = wizard};
}
constexpr ItemEntry pauseFor(int milliseconds, JobKind job = JobKind::Both,
                             WizardKind wizard = WizardKind::Both) {
    return {.kind = ItemEntry::Kind::Pause, .amount = milliseconds, .job = job, .wizard = wizard};
}

// Where an item's box stands: column and row of the window's grid.
struct ItemPlace {
    int column = 1;
    int row = 1;
};

// The grid of the item boxes: the left edge of each column, the first row's
// top and the distance between rows, in pixels. Every window has three
// columns.
struct ItemGrid {
    std::array<int, 3> columns{39, 221, 413};
    int top = 109;
    int pitch = 23;
};

// One check box of a selective window and what a job does for it.
struct SelectiveItem {
    std::string_view checkBox{}; // "CheckBox4"
    std::string_view caption{};  // "Расширения"
    // The command line's name for the item ("extensions"). A box without a
    // key is no item: shown, but read by no job (Internet Explorer's
    // "Dialup", the "Кэш" boxes).
    std::string_view key{};
    // What a job does when the box is ticked, in order.
    std::vector<ItemEntry> entries{};
    // The steps after the item's entries, when the box is ticked (0: none).
    int backupStep = 0;
    int restoreStep = 0;
    // What a job does after the item whether its box is ticked or not.
    std::vector<ItemEntry> evenWhenUnticked{};
    ItemPlace place{};
    bool tickedAtStart = true;
    bool enabled = true;
    // "Выбрать все" and "Снять все" set the box.
    bool followsSelectAll = true;
    // Told the user once after a restore that put back anything of the item
    // (what the restored data needs to be usable).
    std::string_view restoreNote{};
};

// An item box with its entries, the steps a backup and a restore take after
// them, and its place: how the data sets write their tables.
inline SelectiveItem boxItem(std::string_view checkBox, std::string_view caption,
                             std::string_view key, std::vector<ItemEntry> entries, int backupStep,
                             int restoreStep, ItemPlace place) {
    return SelectiveItem{.checkBox = checkBox,
                         .caption = caption,
                         .key = key,
                         .entries = std::move(entries),
                         .backupStep = backupStep,
                         .restoreStep = restoreStep,
                         .place = place};
}
// The same step in both directions.
inline SelectiveItem boxItem(std::string_view checkBox, std::string_view caption,
                             std::string_view key, std::vector<ItemEntry> entries, int step,
                             ItemPlace place) {
    return boxItem(checkBox, caption, key, std::move(entries), step, step, place);
}

// The staging name rule: how a profile's name becomes the name of the
// staging directory and of the archive.
enum class StagingRule {
    AfterFirstNine, // the name without its first 9 characters ("abcd1234.default" -> "default")
    WholeName,      // the name as it is
    Fixed,          // SelectiveWizardData::fixedStagingName whatever the profile
};

// A profile as the browser lists it: the name the job uses (the staging and
// archive names come from it), its folder, and what the user is shown.
struct ProfileEntry {
    std::string name;   // "Profile 1", "abcd1234.default-release"
    std::string folder; // where it lives
    // The name the user gave it, with the folder's where they differ
    // ("Work (Profile 1)"); empty: the name is shown.
    std::string label = {};
};

// What a browser's list of profiles becomes with a profile added: the list's
// file (a program path) and its whole new text; or, in `refused`, why the
// profile cannot be added.
struct ProfileListChange {
    std::string file = {};
    std::string content = {};
    std::string refused = {};
};

// The places where a browser departs from the common sequence. Each may be
// left empty.
struct SelectiveHooks {
    // First thing at Next, before the backup location is read (a browser
    // that finds its data at Next instead of at activation).
    std::function<void(SystemServices&, WizardState&)> jobStarting{};
    // Activation found the data root (in `ffpath` and `mpath`): derive what
    // else lives there.
    std::function<void(SystemServices&, WizardState&)> rootFound{};
    // The job's profile directory is in `ffpath` and its name in `profile`
    // (`custom`: a custom location): adjust it, derive the mail directory.
    std::function<void(SystemServices&, WizardState&, bool custom)> profileChosen{};
    // The profiles of the data root (in `mpath`) as the browser lists them
    // itself, the default first; nothing to list the folders of the
    // profiles folder instead.
    std::function<std::optional<std::vector<ProfileEntry>>(SystemServices&, const WizardState&)>
        listProfiles{};
    // A restore into a custom location asked to make that folder one of the
    // browser's profiles: what the list of the data root (`mpath`) becomes
    // with `ffpath` in it, under `name` (empty: the folder's own name), a
    // new list where there is none. The restore writes it with its files.
    std::function<ProfileListChange(SystemServices&, const WizardState&, std::string_view name)>
        registerProfile{};
    // The folder a new profile of that name gets in the data root (`mpath`),
    // named as the browser names its own; not made yet.
    std::function<std::string(SystemServices&, const WizardState&, std::string_view name)>
        newProfileFolder{};
};

// What the selective wizard needs of a browser.
struct SelectiveWizardData {
    WizardTexts texts{};
    // `Label3` of the restore window, over the archive list.
    std::string_view restoreArchiveHeading{};
    // Removed, one after the other, from the marker's path to give the data
    // root with its trailing backslash.
    std::vector<std::string_view> rootTails{};
    // Whether the window offers profiles at all; without, the list shows one
    // disabled entry and the job uses the data root as it was found.
    bool listsProfiles = true;
    // The search runs when the job starts (Next), silently, not at
    // activation: a marker that is not found leaves the data root empty and
    // the job goes on (Internet Explorer).
    bool searchesAtJobStart = false;
    // A restore unpacks this archive of the backup location, refusing with
    // "Backup File "…" Not Found" when it is not there; the window lists no
    // archives (empty: the user picks one of the location's archives).
    std::string_view fixedArchiveName{};
    // The profiles are the folders in this folder of the data root (empty:
    // in the data root itself).
    std::string_view profilesFolder{};
    // Folders of that place that are no profiles (case ignored).
    std::vector<std::string_view> notProfiles{};
    // When set, only the folders that hold this file are profiles (Chrome's
    // "User Data" also holds caches, crash reports and the like, which are
    // none, and which sort before "Default").
    std::string_view profileMarker{};
    // The profile name of a custom location; empty: the window has no custom
    // profile location edit.
    std::string_view customProfileName{};
    StagingRule stagingRule = StagingRule::WholeName;
    std::string_view fixedStagingName{};
    // The bar's steps besides the items': before the first item and after
    // the last of a backup; before unpacking, after unpacking and after the
    // last item of a restore (0: none).
    int backupOpeningStep = 0;
    int backupClosingStep = 0;
    int restoreOpeningStep = 0;
    int restoreUnpackedStep = 0;
    int restoreClosingStep = 0;
    // The hourglass shows while packing (it always shows while unpacking).
    bool busyWhilePacking = false;
    // The check boxes, in backup order, and where they stand.
    std::vector<SelectiveItem> items{};
    ItemGrid grid{};
    // The check boxes of the items in restore order.
    std::vector<std::string_view> restoreOrder{};
    SelectiveHooks hooks{};

    // The item of a check box, or of a command-line key (case ignored), or null.
    const SelectiveItem* itemOfBox(std::string_view checkBox) const;
    const SelectiveItem* itemOfKey(std::string_view key) const;
};

// Where the browser makes its data root on a system that has none yet: a
// template over the environment ({sfp}, {loc}; natively {home}, {config}),
// taken when the folder `when` names is there (empty: always). A full
// restore that finds no data root offers the first that applies.
struct NewRoot {
    std::string_view root;
    std::string_view when = {};
};

// Where a browser keeps its data on this machine itself (the native
// environment), beside its Windows candidates.
struct NativeRoots {
    // The folders that may be the data root, in search order: templates
    // over {home} and {config} (XDG_CONFIG_HOME).
    std::vector<std::string_view> candidates{};
    // The file in the data root that marks it, when not the Windows marker
    // (Chrome's "Local State" is always there; "Bookmarks" only once the
    // user has made a bookmark).
    std::string_view markerFile{};
    // Where the browser of this machine makes its data root (a packaged
    // browser's home first: it reads nothing else).
    std::vector<NewRoot> newRoots{};
    // Without a version for this machine: what the user is told instead.
    std::string_view unavailable{};
    // The same for the selective windows only, where the version of this
    // machine keeps its data in a layout the item table does not describe.
    std::string_view selectiveUnavailable{};
};

// One browser's data set: where its data lives and how each window family
// treats it. The job engines are written once; everything particular to a
// browser is data here.
struct BrowserDataSet {
    std::string_view id;         // the command line's name ("firefox")
    std::string_view name;       // "Firefox"
    std::string_view markerFile; // the file whose folder is the data root ("profiles.ini")
    // The candidate directories in list order (dir1, dir2, ...), each with
    // its forms for Windows "5" and "6" (templates over the environment).
    std::vector<CandidateForms> candidates;
    // The values of the data set's own template names in the candidates and
    // the root tails ({N}: Opera's installation folder) unless a job names
    // others.
    TemplateVars templateDefaults = {};
    // The files the running browser holds locked in a profile or in its data
    // root ("parent.lock"); a job refuses while one is held.
    std::vector<std::string_view> lockFiles = {};
    // Where the browser makes its data root on Windows (see NewRoot).
    std::vector<NewRoot> newRoots = {};
    // What every installation has, below a candidate folder that is the data
    // root itself: any one of these files there makes it the data root
    // ("Local State"; "*" stands for any one folder: "*\Preferences", a
    // profile's). The root tails then only say the root's form: with a
    // trailing separator unless they begin with one. Empty: the marker file
    // is searched and the tails cut from its path.
    std::vector<std::string_view> rootMarkers = {};
    FullWizardData full;
    SelectiveWizardData selective{};
    NativeRoots native{};
    // The command line's name when it is not `id`: a name two data sets
    // share, of which the one whose data is found is used (the classic
    // Opera first, the current one otherwise).
    std::string_view commandName = {};
    // The command line's name of this data set alone where `commandName` (or
    // `id`) is shared ("opera-classic"); empty: `id`.
    std::string_view ownName = {};
    // How lists name the browser where `name` alone would not tell two
    // apart ("Opera (current)"); empty: `name`.
    std::string_view title = {};
    // The key of the saved passwords and cookies that an encrypted archive
    // carries to another machine or account (none: the browser's data needs
    // none, or it cannot move).
    CarriedKeyHooks keys = {};

    std::string_view cliName() const { return commandName.empty() ? id : commandName; }
    std::string_view ownCliName() const { return ownName.empty() ? id : ownName; }
    std::string_view shownName() const { return title.empty() ? name : title; }
};

const BrowserDataSet& internetExplorerDataSet();
const BrowserDataSet& firefoxDataSet();
const BrowserDataSet& flockDataSet();
const BrowserDataSet& chromeDataSet();
const BrowserDataSet& safariDataSet();
const BrowserDataSet& operaDataSet();
// The two families' members beside Chrome and Firefox.
const BrowserDataSet& edgeDataSet();
const BrowserDataSet& braveDataSet();
const BrowserDataSet& vivaldiDataSet();
const BrowserDataSet& operaStableDataSet();
const BrowserDataSet& operaGxDataSet();
const BrowserDataSet& chromiumDataSet();
const BrowserDataSet& libreWolfDataSet();
const BrowserDataSet& waterfoxDataSet();
const BrowserDataSet& floorpDataSet();
const BrowserDataSet& zenDataSet();

// The data sets the program knows, in the ribbon's order.
const std::vector<const BrowserDataSet*>& allDataSets();
// The data set whose id is `id` (case ignored), or null.
const BrowserDataSet* findDataSet(std::string_view id);
// Every data set whose command-line name is `name` (shared, or its own), in
// the order of allDataSets().
std::vector<const BrowserDataSet*> dataSetsNamed(std::string_view name);

} // namespace vellarion
