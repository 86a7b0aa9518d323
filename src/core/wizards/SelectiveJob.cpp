#include "core/wizards/SelectiveJob.h"

#include "core/archive/JvZlibMultiple.h"
#include "core/services/Error.h"
#include "core/services/SystemServices.h"
#include "core/services/Text.h"
#include "core/wizards/DataRoot.h"
#include "core/wizards/Messages.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace vellarion {

namespace {

// A folder chosen as a native POSIX path ("/media/usb/backups") goes on with
// its own separator; program paths take the backslash.
char separatorOf(std::string_view dir) {
    return dir.find('/') != std::string_view::npos && dir.find('\\') == std::string_view::npos
               ? '/'
               : '\\';
}

std::string withBackslash(std::string_view dir) {
    std::string out(dir);
    if (out.empty() || !isPathSeparator(out.back())) {
        out += separatorOf(dir);
    }
    return out;
}

} // namespace

std::string joinPath(std::string_view dir, std::string_view name) {
    if (name.empty()) {
        return std::string(dir);
    }
    return (dir.empty() ? std::string() : withBackslash(dir)) + std::string(name);
}

namespace {

// The path up to its last component ("" for a single name).
std::string parentOf(std::string_view path) {
    while (!path.empty() && isPathSeparator(path.back())) {
        path.remove_suffix(1);
    }
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

// A name that makes a folder of its own inside the backup location: Windows
// drops trailing dots and spaces, so "", "." and ".." would name the location
// itself or its parent; a separator or a drive would lead elsewhere.
bool isOwnFolderName(std::string_view name) {
    return name.find_first_of("\\/:") == std::string_view::npos &&
           name.find_last_not_of(". ") != std::string_view::npos;
}

// The text without its first `count` characters (UTF-16 units, as Windows
// counts them), so that a name is never cut inside a letter.
std::string withoutFirstCharacters(std::string_view text, size_t count) {
    std::u16string wide = utf8ToUtf16(text);
    wide.erase(0, std::min(count, wide.size()));
    return utf16ToUtf8(wide);
}

// A folder that did not exist before the job: `name` in the location or,
// when something of that name is there already (the user's own folder, a
// staging directory a failed job left), "name (2)", "name (3)"... A job
// deletes only what it created, so it never merges into or removes what
// was there. Throws when no such folder can be made (the location is
// missing or read-only): a job without a folder of its own would pack
// nothing, or could not remove what it unpacked.
std::string createFreshDirectory(SystemServices& services, std::string_view location,
                                 std::string_view name) {
    constexpr int kAttempts = 1000;
    std::string path = joinPath(location, name);
    for (int n = 1; n <= kAttempts; ++n) {
        std::string candidate(name);
        if (n > 1) {
            candidate += " (" + std::to_string(n) + ")";
        }
        path = joinPath(location, candidate);
        if (services.fileExists(path) || services.directoryExists(path)) {
            continue;
        }
        if (services.createDirectory(path)) {
            return path;
        }
        break;
    }
    throw Error("Cannot create folder \"" + path + "\"");
}

// Runs a function when the scope ends, however it ends.
template <class F> class AtScopeEnd {
public:
    explicit AtScopeEnd(F f) : f_(std::move(f)) {}
    ~AtScopeEnd() { f_(); }
    AtScopeEnd(const AtScopeEnd&) = delete;
    AtScopeEnd& operator=(const AtScopeEnd&) = delete;

private:
    F f_;
};

bool runsIn(const ItemEntry& entry, JobKind job) {
    return entry.job == JobKind::Both || entry.job == job;
}

} // namespace

std::optional<std::string> ChoiceList::selection() const {
    if (!enabled || selected < 0 || selected >= static_cast<int>(entries.size())) {
        return std::nullopt;
    }
    return entries[static_cast<size_t>(selected)];
}

void ChoiceList::append(const std::vector<std::string>& names) {
    entries.insert(entries.end(), names.begin(), names.end());
    selected = entries.empty() ? -1 : 0;
}

std::string stagingName(const SelectiveWizardData& data, std::string_view profile) {
    std::string name;
    switch (data.stagingRule) {
    case StagingRule::AfterFirstNine:
        name = withoutFirstCharacters(profile, 9);
        break;
    case StagingRule::WholeName:
        name = profile;
        break;
    case StagingRule::Fixed:
        name = data.fixedStagingName;
        break;
    }
    if (!isOwnFolderName(name)) {
        name = profile;
    }
    if (!isOwnFolderName(name)) {
        name = "profile";
    }
    return "\\" + name;
}

std::string unpackName(std::string_view archive) {
    std::string name = removeEveryOccurrence(archive, ".dat");
    return isOwnFolderName(name) ? name : std::string("backup");
}

std::string SelectiveJob::notFoundMessage() const {
    return std::string(kSettingsNotFoundChooseCustom);
}

bool SelectiveJob::locate() {
    const SelectiveWizardData& sel = selective();
    if (!locateDataRoot(services_, data_, sel.rootTails, state_)) {
        return false;
    }
    state_.mpath = state_.ffpath;
    const std::string profilesDir = joinPath(state_.ffpath, sel.profilesFolder);
    state_.ffpath2 = profilesDir;
    if (sel.hooks.rootFound) {
        sel.hooks.rootFound(services_, state_);
    }
    std::vector<std::string> names;
    services_.GetSubDirectories(profilesDir, names);
    for (std::string_view other : sel.notProfiles) {
        const auto it = std::find_if(names.begin(), names.end(), [other](const std::string& n) {
            return equalsIgnoreCase(n, other);
        });
        if (it != names.end()) {
            names.erase(it);
        }
    }
    profiles.append(names);
    return true;
}

void SelectiveJob::customProfileChanged() {
    profiles.clear();
    profiles.enabled = false;
}

void SelectiveJob::listArchives(const std::string& location) {
    state_.backups = location;
    archives.clear();
    state_.dfailas = location + "\\*.dat";
    // An empty location would list the current folder.
    if (isBlank(location)) {
        return;
    }
    archives.append(services_.listFiles(location, ".dat"));
}

std::vector<std::string_view> SelectiveJob::selectAllBoxes() const {
    std::vector<std::string_view> boxes;
    for (const SelectiveItem& item : selective().items) {
        if (item.followsSelectAll) {
            boxes.push_back(item.checkBox);
        }
    }
    return boxes;
}

std::string SelectiveJob::archivePath() const {
    return joinPath(state_.backups, state_.datfile.substr(1) + ".dat");
}

bool SelectiveJob::chooseProfile(const SelectiveChoices& choices) {
    const SelectiveWizardData& sel = selective();
    if (sel.hooks.jobStarting) {
        sel.hooks.jobStarting(services_, state_);
    }
    state_.backups = choices.backupLocation;
    // An emptied edit has no location either: the staging directory would
    // land at the root of the drive.
    if (!backupLocationGiven(state_.backups)) {
        reporter_.refuse(std::string(kSelectBackupLocation));
        return false;
    }
    if (!sel.listsProfiles) {
        return true;
    }
    state_.cdir = choices.customLocation;
    const bool custom = !sel.customProfileName.empty() &&
                        state_.cdir != kCustomProfilePlaceholder && !isBlank(state_.cdir);
    if (custom) {
        state_.ffpath = withBackslash(state_.cdir);
        state_.profile = std::string(sel.customProfileName);
    } else {
        const std::optional<std::string> chosen = profiles.selection();
        if (!chosen) {
            reporter_.refuse(std::string(kSelectProfile));
            return false;
        }
        state_.profile = *chosen;
        // From the data root kept at activation: `ffpath` may still hold
        // the profile directory of a job that failed.
        state_.ffpath =
            withBackslash(joinPath(joinPath(state_.mpath, sel.profilesFolder), state_.profile));
    }
    if (sel.hooks.profileChosen) {
        sel.hooks.profileChosen(services_, state_, custom);
    }
    return true;
}

void SelectiveJob::step(int amount) {
    if (amount != 0) {
        reporter_.progressStep(amount);
    }
}

std::string SelectiveJob::homeOf(ItemHome home) const {
    switch (home) {
    case ItemHome::Profile:
        return state_.ffpath;
    case ItemHome::DataRoot:
        return state_.mpath;
    case ItemHome::MailDirectory:
        return state_.mdir;
    case ItemHome::Cookies:
        return state_.cook;
    case ItemHome::Favorites:
        return state_.favo;
    }
    return {};
}

bool SelectiveJob::runItems(const std::vector<const SelectiveItem*>& items, JobKind job,
                            const std::string& staging, const SelectiveChoices& choices) {
    for (const SelectiveItem* item : items) {
        if (reporter_.stopRequested()) {
            return false;
        }
        runItem(*item, job, staging, choices);
    }
    return !reporter_.stopRequested();
}

void SelectiveJob::runItem(const SelectiveItem& item, JobKind job, const std::string& staging,
                           const SelectiveChoices& choices) {
    const auto run = [&](const std::vector<ItemEntry>& entries) {
        for (const ItemEntry& entry : entries) {
            if (!runsIn(entry, job)) {
                continue;
            }
            runEntry(entry, item, job, staging);
        }
    };
    if (!item.key.empty() && choices.ticked && choices.ticked(item.checkBox)) {
        run(item.entries);
        step(job == JobKind::Backup ? item.backupStep : item.restoreStep);
    }
    run(item.evenWhenUnticked);
}

// Runs one entry. A backup copies from the entry's home into the staging
// directory, a restore from the unpacked archive back home. What is missing
// is skipped without a word; failed copies are not reported either.
void SelectiveJob::runEntry(const ItemEntry& entry, const SelectiveItem& item, JobKind job,
                            const std::string& staging) {
    using Kind = ItemEntry::Kind;
    const std::string staged = joinPath(staging, entry.stagedPath());
    switch (entry.kind) {
    case Kind::Step:
        step(entry.amount);
        return;
    case Kind::Pause:
        services_.pause(std::chrono::milliseconds(entry.amount));
        return;
    case Kind::RegistryKey:
        if (job == JobKind::Backup) {
            services_.SaveKeyToFile(entry.name, staged);
        } else if (const std::string refused = services_.LoadKeyFromFile(entry.name, staged);
                   !refused.empty()) {
            reporter_.showMessage(refused);
        }
        return;
    case Kind::File:
    case Kind::Folder:
        break;
    }
    const std::string home = homeOf(entry.home);
    const std::string atHome = home.empty() ? std::string() : joinPath(home, entry.name);
    if (job == JobKind::Backup) {
        copyEntry(entry, item, atHome, staged);
    } else {
        copyEntry(entry, item, staged, atHome);
    }
}

// Copies a file, or a folder into the parent of `target` under its own name,
// creating the folders on the way: a folder copied into a missing folder
// would otherwise take that folder's place instead of landing inside it.
// Nothing at the target is deleted; files of the same name are replaced.
void SelectiveJob::copyEntry(const ItemEntry& entry, const SelectiveItem& item,
                             const std::string& source, const std::string& target) {
    const bool file = entry.kind == ItemEntry::Kind::File;
    const bool present = !source.empty() &&
                         (file ? services_.fileExists(source) : services_.directoryExists(source));
    if (!present) {
        if (entry.untickWhenMissing) {
            reporter_.untick(item.checkBox);
        }
        return;
    }
    if (target.empty()) {
        return; // nowhere to copy to
    }
    const std::string targetDir = parentOf(target);
    if (!services_.directoryExists(targetDir)) {
        services_.createDirectories(targetDir);
    }
    if (file) {
        services_.copyFile(source, target);
    } else {
        services_.CopyDir(source, targetDir);
    }
}

JobOutcome SelectiveJob::backup(const SelectiveChoices& choices) {
    if (!chooseProfile(choices)) {
        return JobOutcome::Refused;
    }
    const SelectiveWizardData& sel = selective();
    reporter_.jobStarted();
    reporter_.progressShow();
    step(sel.backupOpeningStep);

    state_.datfile = stagingName(sel, state_.profile);
    const std::string staging =
        createFreshDirectory(services_, state_.backups, std::string_view(state_.datfile).substr(1));
    std::vector<const SelectiveItem*> items;
    for (const SelectiveItem& item : sel.items) {
        items.push_back(&item);
    }
    if (!runItems(items, JobKind::Backup, staging, choices)) {
        services_.DelTree(staging);
        return JobOutcome::Stopped;
    }
    step(sel.backupClosingStep);

    reporter_.packingStarts();
    {
        // The profile list goes whatever packing does: the profile directory
        // now stands in `ffpath`, and a new activation lists the profiles anew.
        AtScopeEnd emptyList([this] { profiles.clear(); });
        BusyCursor hourglass(reporter_, sel.busyWhilePacking);
        TJvZlibMultiple z(services_.paths());
        reportCodecEvents(z, reporter_);
        z.CompressDirectory(staging, true, archivePath());
    }
    services_.DelTree(staging);
    // A stopped codec wrote no archive: an earlier one of the name stays.
    if (reporter_.stopRequested()) {
        return JobOutcome::Stopped;
    }
    reporter_.progressSet(100);
    reporter_.progressHide();
    reporter_.jobFinished();
    return JobOutcome::Done;
}

JobOutcome SelectiveJob::restore(const SelectiveChoices& choices) {
    if (!chooseProfile(choices)) {
        return JobOutcome::Refused;
    }
    const std::optional<std::string> archive = archives.selection();
    if (!archive) {
        reporter_.refuse(std::string(kSelectBackupFile));
        return JobOutcome::Refused;
    }
    const SelectiveWizardData& sel = selective();
    reporter_.jobStarted();
    reporter_.progressShow();
    step(sel.restoreOpeningStep);

    state_.atspaudziam = *archive;
    state_.atspaudziam2 = removeEveryOccurrence(*archive, ".dat");
    const std::string archiveFile = joinPath(state_.backups, state_.atspaudziam);
    const std::string unpacked =
        createFreshDirectory(services_, state_.backups, unpackName(state_.atspaudziam));
    {
        BusyCursor hourglass(reporter_);
        TJvZlibMultiple z(services_.paths());
        reportCodecEvents(z, reporter_);
        z.DecompressFile(archiveFile, unpacked, true, true);
    }
    state_.backuploc = withBackslash(unpacked);
    // Nothing of a stopped unpack reaches the profile.
    bool stopped = reporter_.stopRequested();
    if (!stopped) {
        step(sel.restoreUnpackedStep);
        std::vector<const SelectiveItem*> items;
        for (std::string_view box : sel.restoreOrder) {
            if (const SelectiveItem* item = sel.itemOfBox(box)) {
                items.push_back(item);
            }
        }
        stopped = !runItems(items, JobKind::Restore, unpacked, choices);
    }
    if (stopped) {
        services_.DelTree(unpacked);
        return JobOutcome::Stopped;
    }
    step(sel.restoreClosingStep);
    services_.DelTree(unpacked);
    if (choices.deleteArchive) {
        services_.deleteFile(archiveFile);
    }
    profiles.clear();
    reporter_.progressSet(100);
    reporter_.progressHide();
    reporter_.jobFinished();
    return JobOutcome::Done;
}

} // namespace vellarion
