#include "core/wizards/SelectiveJob.h"

#include "core/archive/JvZlibMultiple.h"
#include "core/crypto/EncryptedArchive.h"
#include "core/restore/RestoreTransaction.h"
#include "core/schedule/KeptVersions.h"
#include "core/services/Error.h"
#include "core/services/SystemServices.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"
#include "core/wizards/DataRoot.h"
#include "core/wizards/ItemRunner.h"
#include "core/wizards/Messages.h"
#include "core/wizards/PlainSecrets.h"
#include "core/wizards/StagingFolder.h"

#include <algorithm>
#include <utility>

namespace vellarion {

namespace {

// The text without its first `count` characters (UTF-16 units, as Windows
// counts them), so that a name is never cut inside a letter.
std::string withoutFirstCharacters(std::string_view text, size_t count) {
    std::u16string wide = utf8ToUtf16(text);
    wide.erase(0, std::min(count, wide.size()));
    return utf16ToUtf8(wide);
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

} // namespace

std::optional<std::string> ChoiceList::selection() const {
    if (!enabled || selected < 0 || selected >= static_cast<int>(entries.size())) {
        return std::nullopt;
    }
    return entries[static_cast<size_t>(selected)];
}

void ChoiceList::append(const std::vector<std::string>& names,
                        const std::vector<std::string>& shownAs) {
    labels.resize(entries.size());
    for (size_t i = 0; i < names.size(); ++i) {
        entries.push_back(names[i]);
        labels.push_back(i < shownAs.size() ? shownAs[i] : std::string());
    }
    selected = entries.empty() ? -1 : 0;
}

std::string ChoiceList::shown(size_t index) const {
    if (index >= entries.size()) {
        return {};
    }
    return index < labels.size() && !labels[index].empty() ? labels[index] : entries[index];
}

std::vector<size_t> ChoiceList::called(std::string_view name) const {
    std::vector<size_t> exact;
    std::vector<size_t> given;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string seen = shown(i);
        if (equalsIgnoreCase(entries[i], name) || equalsIgnoreCase(seen, name)) {
            exact.push_back(i);
        } else if (endsWithIgnoreCase(entries[i], "." + std::string(name)) ||
                   (seen.ends_with(')') && startsWithIgnoreCase(seen, std::string(name) + " ("))) {
            given.push_back(i);
        }
    }
    return exact.empty() ? given : exact;
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
    if (!isOneFolderName(name)) {
        name = profile;
    }
    if (!isOneFolderName(name)) {
        name = "profile";
    }
    return "\\" + name;
}

std::string unpackName(std::string_view archive) {
    std::string name = removeEveryOccurrence(archive, ".dat");
    return isOneFolderName(name) ? name : std::string("backup");
}

std::string SelectiveJob::unavailableHere() const {
    std::string whole = WizardJob::unavailableHere();
    if (!whole.empty() || !services_.isNative()) {
        return whole;
    }
    return std::string(data_.native.selectiveUnavailable);
}

std::string SelectiveJob::notFoundMessage() const {
    return std::string(kSettingsNotFoundChooseCustom);
}

bool SelectiveJob::locate() {
    return search();
}

bool SelectiveJob::search() {
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
    if (!sel.listsProfiles) {
        return true;
    }
    if (sel.hooks.listProfiles) {
        if (auto listed = sel.hooks.listProfiles(services_, state_)) {
            std::vector<std::string> names;
            std::vector<std::string> labels;
            for (const ProfileEntry& each : *listed) {
                names.push_back(each.name);
                labels.push_back(each.label);
                profileFolders_.emplace_back(each.name, each.folder);
            }
            profiles.append(names, labels);
            return true;
        }
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
    if (!sel.profileMarker.empty()) {
        std::erase_if(names, [&](const std::string& name) {
            return !services_.fileExists(joinPath(joinPath(profilesDir, name), sel.profileMarker));
        });
    }
    profiles.append(names);
    return true;
}

void SelectiveJob::customProfileChanged() {
    profiles.clear();
    profileFolders_.clear();
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
    std::vector<std::string> files = services_.listFiles(location, ".dat");
    orderNewestFirst(files);
    archives.append(files);
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
    return joinPath(state_.backups, stampedName(state_.datfile.substr(1) + ".dat", stamp_));
}

bool SelectiveJob::chooseProfile(const SelectiveChoices& choices) {
    if (refuseWhenUnavailable()) {
        return false;
    }
    const SelectiveWizardData& sel = selective();
    if (sel.searchesAtJobStart) {
        // A data root that is not there leaves its items nothing to copy.
        locateAnew();
    }
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
    if (!choices.newProfile.empty()) {
        if (!sel.hooks.newProfileFolder || !sel.hooks.registerProfile) {
            reporter_.refuse(std::string(data_.name) + " keeps no list of profiles to add one to.");
            return false;
        }
        // Two profiles of one name: the browser's list could not tell them
        // apart, and neither could a later --profile.
        if (const std::vector<size_t> taken = profiles.called(choices.newProfile); !taken.empty()) {
            reporter_.refuse(
                formatText(N_("Профиль с именем \"%1\" уже есть: %2. Выберите другое имя."),
                           {choices.newProfile, profiles.shown(taken.front())}));
            return false;
        }
        if (!isFolderBelowRoot(withoutTrailingSeparators(state_.mpath))) {
            const std::optional<std::string> root = newDataRoot(services_, data_);
            if (!root) {
                reporter_.refuse(notFoundMessage());
                return false;
            }
            state_.mpath = withSeparator(*root);
        }
        state_.ffpath =
            withSeparator(sel.hooks.newProfileFolder(services_, state_, choices.newProfile));
        state_.profile = choices.newProfile;
        custom_ = true;
        if (sel.hooks.profileChosen) {
            sel.hooks.profileChosen(services_, state_, true);
        }
        return true;
    }
    if (custom) {
        state_.ffpath = withSeparator(state_.cdir);
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
            withSeparator(joinPath(joinPath(state_.mpath, sel.profilesFolder), state_.profile));
        for (const auto& [name, folder] : profileFolders_) {
            if (name == state_.profile) {
                state_.ffpath = withSeparator(folder); // where the browser's list says
                break;
            }
        }
    }
    custom_ = custom;
    if (sel.hooks.profileChosen) {
        sel.hooks.profileChosen(services_, state_, custom);
    }
    return true;
}

bool SelectiveJob::runItems(const std::vector<const SelectiveItem*>& items, Direction direction,
                            const std::string& staging, const SelectiveChoices& choices,
                            std::vector<const SelectiveItem*>& withoutData,
                            std::vector<std::string_view>* notes) {
    std::vector<ItemRun> runs;
    for (const SelectiveItem* item : items) {
        const bool ticked = !item->key.empty() && choices.ticked && choices.ticked(item->checkBox);
        runs.push_back(
            {item, ticked, direction == Direction::Backup ? item->backupStep : item->restoreStep});
    }
    ItemRunner runner(services_, state_, reporter_, direction, WizardKind::Selective, staging);
    runner.setRestoreFiles(restoreFiles());
    if (direction == Direction::Backup && browserRuns()) {
        runner.copyAsSnapshots(std::string(data_.name));
    }
    if (direction == Direction::Restore && listChange_ && listedWithFiles()) {
        runner.alsoWrite(listChange_->file, listChange_->content);
    }
    const bool ran = runner.run(runs);
    withoutData = runner.itemsWithoutData();
    if (notes != nullptr) {
        *notes = runner.notes();
    }
    return ran;
}

bool SelectiveJob::listedWithFiles() const {
    // The restore's journal lies in the data root, above the profile.
    const std::string root(withoutTrailingSeparators(state_.mpath));
    return !root.empty() && !relativeTo(withoutTrailingSeparators(state_.ffpath), root).empty();
}

bool SelectiveJob::refuseWhileBrowserRuns(Direction direction) {
    // The data root is the job's (the profile where there is none), as a
    // full job's is; then the profile's own lock, and the one its browser
    // keeps beside its profiles (a "User Data" folder).
    if (!holdFolders({state_.mpath.empty() ? state_.ffpath : state_.mpath})) {
        return true;
    }
    const std::vector<std::string> locked{state_.ffpath, parentPath(state_.ffpath)};
    if (direction == Direction::Backup && noteWhileRunning(locked)) {
        // Nothing of the running browser's folders is touched: only what
        // ended runs left in the backup location goes.
        recoverInterrupted({}, state_.backups);
        return false;
    }
    if (refuseWhileRunning(locked)) {
        return true;
    }
    recoverInterrupted({state_.ffpath, state_.mpath, state_.mdir, state_.cook, state_.favo},
                       state_.backups);
    return false;
}

std::optional<std::string> SelectiveJob::archiveToRestore() {
    const SelectiveWizardData& sel = selective();
    if (sel.fixedArchiveName.empty()) {
        std::optional<std::string> chosen = archives.selection();
        if (!chosen) {
            reporter_.refuse(std::string(kSelectBackupFile));
        }
        return chosen;
    }
    // The version asked for; without one the plain name, else the newest.
    std::string stamp = stamp_;
    if (stamp.empty() && !services_.fileExists(joinPath(state_.backups, sel.fixedArchiveName))) {
        const std::vector<std::string> kept =
            keptVersions(services_, state_.backups, sel.fixedArchiveName);
        stamp = kept.empty() ? std::string() : kept.front();
    }
    const std::string name = stampedName(sel.fixedArchiveName, stamp);
    if (!services_.fileExists(joinPath(state_.backups, name))) {
        reporter_.refuse(backupFileNotFound(name));
        return std::nullopt;
    }
    return name;
}

JobOutcome SelectiveJob::backup(const SelectiveChoices& choices) {
    const FoldersHeldForJob release(*this);
    if (!chooseProfile(choices)) {
        return JobOutcome::Refused;
    }
    if (refuseWhileBrowserRuns(Direction::Backup)) {
        return JobOutcome::Refused;
    }
    const SelectiveWizardData& sel = selective();
    state_.datfile = stagingName(sel, state_.profile);
    if (clock_) {
        stamp_ = freeStamp(services_, state_.backups, {state_.datfile.substr(1) + ".dat"}, clock_);
    }
    // Profiles and browsers share archive names ("default.dat" of two
    // profiles of one browser, a custom name two browsers use): never
    // replace one unasked.
    if (const std::string archive = archivePath();
        services_.fileExists(archive) && !reporter_.replaceArchive(archive)) {
        return JobOutcome::Refused;
    }
    makeBackupLocation(services_, state_.backups);
    reporter_.jobStarted();
    reporter_.progressShow();
    stepProgress(reporter_, sel.backupOpeningStep);

    StagingFolder staging(services_, state_.backups, std::string_view(state_.datfile).substr(1));
    std::vector<const SelectiveItem*> items;
    for (const SelectiveItem& item : sel.items) {
        items.push_back(&item);
    }
    std::vector<const SelectiveItem*> withoutData;
    if (!runItems(items, Direction::Backup, staging.path(), choices, withoutData)) {
        return JobOutcome::Stopped;
    }
    stepProgress(reporter_, sel.backupClosingStep);

    reporter_.packingStarts();
    {
        // The profile list goes whatever packing does: the profile directory
        // now stands in `ffpath`, and a new activation lists the profiles anew.
        AtScopeEnd emptyList([this] { profiles.clear(); });
        BusyCursor hourglass(reporter_, sel.busyWhilePacking);
        TJvZlibMultiple z(services_.paths());
        reportCodecEvents(z, reporter_);
        if (choices.ticked && backupHoldsSecrets(sel, choices.ticked)) {
            carryKeys(z, state_.mpath);
        }
        if (const std::unique_ptr<PendingArchive> packed =
                z.CompressDirectoryPending(staging.path(), true, archivePath())) {
            commitArchive(*packed, archivePath());
        }
    }
    staging.remove();
    // A stopped codec wrote no archive: an earlier one of the name stays.
    if (reporter_.stopRequested()) {
        return JobOutcome::Stopped;
    }
    reporter_.progressSet(100);
    reporter_.progressHide();
    if (!withoutData.empty()) {
        reporter_.itemsWithoutData(Direction::Backup, withoutData);
    }
    tellOfKeys();
    reporter_.jobFinished();
    return JobOutcome::Done;
}

JobOutcome SelectiveJob::restore(const SelectiveChoices& choices) {
    const FoldersHeldForJob release(*this);
    if (!chooseProfile(choices)) {
        return JobOutcome::Refused;
    }
    const std::optional<std::string> archive = archiveToRestore();
    if (!archive || refuseWhileBrowserRuns()) {
        return JobOutcome::Refused;
    }
    const SelectiveWizardData& sel = selective();
    // The browser's list with the profile in it, known before anything is
    // written: a list that cannot take it refuses the restore.
    listChange_.reset();
    if ((choices.registerProfile || !choices.newProfile.empty()) && custom_ &&
        sel.hooks.registerProfile) {
        ProfileListChange change = sel.hooks.registerProfile(services_, state_, choices.newProfile);
        if (!change.refused.empty()) {
            reporter_.refuse(change.refused);
            return JobOutcome::Refused;
        }
        listChange_ = std::move(change);
    }
    reporter_.jobStarted();
    reporter_.progressShow();
    stepProgress(reporter_, sel.restoreOpeningStep);

    state_.atspaudziam = *archive;
    state_.atspaudziam2 = removeEveryOccurrence(*archive, ".dat");
    const std::string archiveFile = joinPath(state_.backups, state_.atspaudziam);
    StagingFolder unpacked(services_, state_.backups, unpackName(state_.atspaudziam));
    {
        BusyCursor hourglass(reporter_);
        TJvZlibMultiple z(services_.paths());
        reportCodecEvents(z, reporter_);
        receiveKeys(z);
        try {
            z.DecompressFile(archiveFile, unpacked.path(), true, true);
        } catch (const EncryptedArchiveError&) {
            throw; // the password: it says itself that nothing was read
        } catch (const Error& e) {
            throw RestoreFailed(nothingRestored(e.what()));
        }
    }
    state_.backuploc = withSeparator(unpacked.path());
    // Nothing of a stopped unpack reaches the profile.
    if (reporter_.stopRequested()) {
        return JobOutcome::Stopped;
    }
    // The restored passwords and cookies are made to open with the target's
    // key before they are put in place.
    std::function<void()> keysPlaced;
    if (const auto native = services_.paths().toNative(unpacked.path());
        native && choices.ticked && backupHoldsSecrets(sel, choices.ticked)) {
        keysPlaced = adoptKeys(state_.mpath, *native);
    }
    stepProgress(reporter_, sel.restoreUnpackedStep);
    std::vector<const SelectiveItem*> items;
    for (std::string_view box : sel.restoreOrder) {
        if (const SelectiveItem* item = sel.itemOfBox(box)) {
            items.push_back(item);
        }
    }
    std::vector<const SelectiveItem*> withoutData;
    std::vector<std::string_view> notes;
    if (!runItems(items, Direction::Restore, unpacked.path(), choices, withoutData, &notes)) {
        return JobOutcome::Stopped;
    }
    if (keysPlaced) {
        keysPlaced();
    }
    stepProgress(reporter_, sel.restoreClosingStep);
    unpacked.remove();
    if (choices.deleteArchive) {
        services_.deleteFile(archiveFile);
    }
    profiles.clear();
    reporter_.progressSet(100);
    reporter_.progressHide();
    if (!withoutData.empty()) {
        reporter_.itemsWithoutData(Direction::Restore, withoutData);
    }
    for (std::string_view note : notes) {
        // Moved with their key, the passwords and cookies open here.
        const bool keyNote = std::any_of(sel.items.begin(), sel.items.end(), [&](const auto& item) {
            return holdsSecrets(item) && item.restoreNote == note;
        });
        // Where the keys moved, or where what will not open is counted and
        // said, the general note has nothing to add.
        if (!(keyNote && (keysMoved() || data_.keys.withoutKey))) {
            reporter_.showMessage(std::string(note));
        }
    }
    tellOfKeys();
    // A profile kept outside the data root has its own journal: its list
    // follows once its files are in place.
    if (listChange_ && !listedWithFiles() &&
        !services_.replaceFileContent(listChange_->file, listChange_->content)) {
        reporter_.showMessage("The profile could not be added to \"" +
                              services_.paths().toDisplay(listChange_->file) + "\".");
    }
    reporter_.jobFinished();
    return JobOutcome::Done;
}

} // namespace vellarion
