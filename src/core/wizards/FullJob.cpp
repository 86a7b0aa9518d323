#include "core/wizards/FullJob.h"

#include "core/archive/ArchiveError.h"
#include "core/archive/JvZlibMultiple.h"
#include "core/crypto/EncryptedArchive.h"
#include "core/restore/RestoreTransaction.h"
#include "core/schedule/KeptVersions.h"
#include "core/services/Error.h"
#include "core/snapshot/Snapshot.h"
#include "core/wizards/DataRoot.h"
#include "core/wizards/ItemRunner.h"
#include "core/wizards/Messages.h"
#include "core/wizards/StagingFolder.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>

namespace vellarion {

namespace {

void runHook(const std::function<void(FullJobAccess&)>& hook, FullJob& job) {
    if (hook) {
        hook(job);
    }
}

namespace fs = std::filesystem;

// A killed browser's lock links: a lock nobody holds is no data.
constexpr std::array<std::string_view, 4> kQuietLocks{"lock", "SingletonLock", "SingletonCookie",
                                                      "SingletonSocket"};

// The private folder an archive is unpacked into before its files are
// swapped into place: inside the data folder, so that they get there by
// rename, or in the nearest folder above it that exists. Removed however
// the job ends.
class UnpackFolder {
public:
    explicit UnpackFolder(const fs::path& root) {
        fs::path home = root;
        std::error_code ec;
        while (!fs::is_directory(home, ec) && home != home.parent_path()) {
            home = home.parent_path();
        }
        path_ = home / pathFromUtf8(unpackFolderName());
        if (!fs::create_directory(path_, ec) || ec) {
            throw RestoreFailed("Cannot create folder \"" + pathToUtf8(path_) + "\" (" +
                                ec.message() + "). Nothing was restored.");
        }
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::replace, ec);
    }
    ~UnpackFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    UnpackFolder(const UnpackFolder&) = delete;
    UnpackFolder& operator=(const UnpackFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

bool FullJob::locate() {
    if (data_.full.hooks.locate) {
        return data_.full.hooks.locate(*this);
    }
    locateDataRoot(services_, data_, data_.full.rootTails, state_);
    return hasDataRoot();
}

bool FullJob::searchDataRoot(const TemplateVars& extra) {
    return locateDataRoot(services_, data_, data_.full.rootTails, state_, extra);
}

bool FullJob::hasDataRoot() const {
    return (chosenRoot_ || !state_.fullFilePath.empty()) && isFolderBelowRoot(state_.ffpath);
}

std::optional<std::string> FullJob::newDataRoot() const {
    if (!data_.full.staged.items.empty() || data_.full.hooks.locate) {
        return std::nullopt;
    }
    return vellarion::newDataRoot(services_, data_);
}

void FullJob::restoreInto(std::string folder) {
    chosenRoot_ = true;
    state_.ffpath = std::move(folder);
}

std::string FullJob::notFoundMessage() const {
    return std::string(data_.full.notFoundMessage.empty() ? kSettingsNotFound
                                                          : data_.full.notFoundMessage);
}

std::string FullJob::archivePath(std::string_view name) const {
    return joinPath(state_.backups, stampedName(name, stamp_));
}

std::optional<std::string> FullJob::archiveToRestore(std::string_view location) const {
    const std::string_view name = data_.full.archiveName;
    if (!stamp_.empty() || services_.fileExists(joinPath(location, name))) {
        return stamp_;
    }
    const std::vector<std::string> stamps = keptVersions(services_, location, name);
    if (stamps.empty()) {
        return std::nullopt;
    }
    return stamps.front();
}

void FullJob::addArchive(FullArchive archive) {
    plan_.push_back(std::move(archive));
}

void FullJob::refuse(const std::string& text) {
    reporter_.refuse(text);
}

JobOutcome FullJob::backup(std::string_view location) {
    return run(Direction::Backup, location);
}

JobOutcome FullJob::restore(std::string_view location) {
    // A version found for this restore is not kept for the next one.
    struct KeepStamp {
        std::string& stamp;
        std::string given;
        ~KeepStamp() { stamp = given; }
    } keep{stamp_, stamp_};
    return run(Direction::Restore, location);
}

bool FullJob::plan() {
    if (data_.full.hooks.plan) {
        return data_.full.hooks.plan(*this);
    }
    // Staged items have their own homes; a data root that is not there
    // leaves its items nothing to copy.
    if (!data_.full.staged.items.empty()) {
        addArchive({"", archivePath(data_.full.archiveName), true});
        return true;
    }
    // Never pack from or unpack into anything but a located data root. A
    // backup also needs it to be there still: an archive of a folder that
    // has gone would replace a good backup with an empty one.
    if (!hasDataRoot() ||
        (direction_ == Direction::Backup && !services_.directoryExists(state_.ffpath))) {
        refuse(notFoundMessage());
        return false;
    }
    addArchive({state_.ffpath, archivePath(data_.full.archiveName), true});
    return true;
}

JobOutcome FullJob::run(Direction direction, std::string_view location) {
    const FoldersHeldForJob release(*this);
    direction_ = direction;
    plan_.clear();
    done_.clear();

    if (refuseWhenUnavailable()) {
        return JobOutcome::Refused;
    }
    if (data_.full.searchesAtJobStart) {
        locateAnew();
    }
    state_.backups = std::string(location);
    if (!backupLocationGiven(state_.backups)) {
        refuse(std::string(kSelectBackupLocation));
        return JobOutcome::Refused;
    }
    if (direction == Direction::Restore) {
        // Without its plain name, the newest kept version.
        if (const std::optional<std::string> stamp = archiveToRestore(state_.backups)) {
            stamp_ = *stamp;
        }
        state_.aregzistuoja = archivePath(data_.full.archiveName);
        if (!services_.fileExists(state_.aregzistuoja)) {
            refuse(backupFileNotFound(data_.full.archiveName));
            return JobOutcome::Refused;
        }
    }
    if (direction == Direction::Backup && clock_) {
        stamp_ =
            freeStamp(services_, state_.backups, {std::string(data_.full.archiveName)}, clock_);
    }
    if (!plan()) {
        return JobOutcome::Refused;
    }
    // A running browser writes its data root while the job would read or
    // replace it: its profiles' locks lie up to two levels below.
    std::vector<std::string> folders;
    for (const FullArchive& archive : plan_) {
        folders.push_back(archive.folder);
    }
    if (!holdFolders(folders)) {
        return JobOutcome::Refused;
    }
    if (direction == Direction::Backup) {
        noteWhileRunning(folders, 2);
    } else if (refuseWhileRunning(folders, 2)) {
        return JobOutcome::Refused;
    }
    if (direction == Direction::Backup) {
        for (const FullArchive& archive : plan_) {
            if (services_.fileExists(archive.archive) &&
                !reporter_.replaceArchive(archive.archive)) {
                return JobOutcome::Refused;
            }
        }
        makeBackupLocation(services_, state_.backups);
    }
    if (direction == Direction::Restore) {
        for (const FullArchive& archive : plan_) {
            if (archive.required && !services_.fileExists(archive.archive)) {
                refuse(backupFileNotFound(lastName(archive.archive)));
                return JobOutcome::Refused;
            }
        }
    }

    // Nothing of a running browser's folders is touched.
    recoverInterrupted(browserRuns() ? std::vector<std::string>() : folders, state_.backups);
    const FullJobHooks& hooks = data_.full.hooks;
    {
        BusyCursor busy(reporter_);
        reporter_.jobStarted();
        if (direction == Direction::Backup) {
            runHook(hooks.beforePacking, *this);
            // The archives replace their predecessors together, once all are
            // written: a failure or a stop while writing a later one keeps
            // every previous archive, never a mixed pair.
            std::vector<std::unique_ptr<PendingArchive>> written;
            for (FullArchive& archive : plan_) {
                written.push_back(archive.folder.empty() ? packStaged(archive) : pack(archive));
                if (!written.back()) {
                    return JobOutcome::Stopped;
                }
            }
            for (size_t i = 0; i < plan_.size(); ++i) {
                const std::string stamp = stamp_;
                plan_[i].archive = commitArchive(*written[i], plan_[i].archive);
                if (stamp_ != stamp) {
                    // Its name was taken meanwhile: the version's other
                    // archives follow it to the new stamp.
                    for (size_t j = i + 1; j < plan_.size(); ++j) {
                        plan_[j].archive = restamped(plan_[j].archive, stamp_);
                    }
                }
                done_.push_back(plan_[i]);
            }
            runHook(hooks.afterPacking, *this);
        } else {
            runHook(hooks.beforeUnpacking, *this);
            if (const std::optional<JobOutcome> ended = restoreArchives()) {
                return *ended;
            }
            runHook(hooks.afterUnpacking, *this);
        }
    }
    tellOfKeys();
    reporter_.jobFinished();
    return JobOutcome::Done;
}

std::unique_ptr<PendingArchive> FullJob::pack(const FullArchive& archive) {
    const std::optional<fs::path> root = services_.paths().toNative(archive.folder);
    if (!browserRuns() || !root || !services_.directoryExists(archive.folder)) {
        return pack(archive, archive.folder, nullptr);
    }
    // The browser writes the folder meanwhile. It is packed where it is, each
    // file read again while it changes; its databases (and files too large
    // to read again) are first copied as consistent snapshots into a folder
    // of the job's own, and packed from there under their own names.
    StagingFolder copies(services_, state_.backups, lastName(archive.archive) + " snapshot");
    const std::optional<fs::path> into = services_.paths().toNative(copies.path());
    if (!into) {
        throw Error(cannotCreateFolder(copies.path()));
    }
    Snapshot snapshot(services_);
    SnapshotSources sources(snapshot, *root, *into, TJvZlibMultiple::kRereadLimit);
    sources.quietNames = {kQuietLocks.begin(), kQuietLocks.end()};
    sources.quietNames.insert(data_.lockFiles.begin(), data_.lockFiles.end());
    sources.copyAhead();
    std::unique_ptr<PendingArchive> packed = pack(archive, archive.folder, &sources);
    if (packed) {
        for (const LeftOut& left : sources.leftOut()) {
            reportLeftOut(reporter_, services_.paths(), left, data_.name);
        }
    }
    return packed;
}

std::unique_ptr<PendingArchive> FullJob::pack(const FullArchive& archive, const std::string& from,
                                              SnapshotSources* inUse) {
    TJvZlibMultiple codec(services_.paths());
    reportCodecEvents(codec, reporter_);
    codec.QuietSkipNames = {kQuietLocks.begin(), kQuietLocks.end()};
    if (const std::optional<fs::path> root = services_.paths().toNative(from)) {
        const std::vector<fs::path> linked = linkedProfiles(*root);
        codec.OnFollowLink = [this, root = *root, linked](const std::string& path) {
            const std::optional<fs::path> native = services_.paths().toNative(path);
            return native && std::find(linked.begin(), linked.end(),
                                       native->lexically_relative(root)) != linked.end();
        };
    }
    if (inUse != nullptr) {
        codec.SourceInUse = true;
        codec.QuietSkipNames.insert(inUse->quietNames.begin(), inUse->quietNames.end());
        codec.OnChooseSource = [inUse](const fs::path& native) { return inUse->choose(native); };
        codec.OnVerifySource = [inUse](const fs::path& native) { return inUse->verify(native); };
        codec.OnSourceChanged = [inUse](const fs::path& native) {
            return inUse->readAgainFromCopy(native);
        };
        codec.OnFileSkip = [this, named = codec.OnFileSkip](TJvZlibMultiple& sender,
                                                             const std::string& file,
                                                             const std::string& type,
                                                             const std::string& message) {
            if (type != "FileKeptChanging") {
                named(sender, file, type, message);
                return;
            }
            const std::optional<fs::path> native = services_.paths().toNative(file);
            reporter_.fileSkipped(file, keptChanging(native ? pathToUtf8(*native) : file,
                                                     "it kept changing"));
        };
    }
    if (!archive.required && !services_.directoryExists(from)) {
        // An optional folder that is not there packs into an archive of no
        // file: nothing was left out.
        codec.OnFileSkip = nullptr;
    }
    carryKeys(codec, archive.folder);
    std::unique_ptr<PendingArchive> packed =
        codec.CompressDirectoryPending(from, true, archive.archive);
    return reporter_.stopRequested() ? nullptr : std::move(packed);
}

std::optional<JobOutcome> FullJob::restoreArchives() {
    RestoreFiles& files = restoreFiles();
    std::vector<std::unique_ptr<UnpackFolder>> unpacked;
    std::unique_ptr<RestoreTransaction> transaction;
    std::vector<FullArchive> restored;
    std::vector<std::function<void()>> keysPlaced;
    for (FullArchive& archive : plan_) {
        if (!archive.required && !services_.fileExists(archive.archive)) {
            continue;
        }
        if (archive.folder.empty()) {
            if (!unpackStaged(archive)) {
                return JobOutcome::Stopped;
            }
            done_.push_back(archive);
            continue;
        }
        const std::optional<fs::path> root = services_.paths().toNative(archive.folder);
        if (!root) {
            refuse(notFoundMessage());
            return JobOutcome::Refused;
        }
        unpacked.push_back(std::make_unique<UnpackFolder>(*root));
        const std::string into = services_.paths().fromNative(unpacked.back()->path());
        std::string current;
        try {
            TJvZlibMultiple codec(services_.paths());
            reportCodecEvents(codec, reporter_);
            const TFileBeforeWriteEvent shown = codec.OnDecompressingFile;
            codec.OnDecompressingFile = [&](TJvZlibMultiple& sender, const std::string& file,
                                            bool& write) {
                // Named where it goes: the unpack folder is the job's own.
                current = relativeTo(file, into);
                shown(sender, joinPath(archive.folder, current), write);
            };
            codec.WriteInPlace = true; // the job's own folder, removed whole
            receiveKeys(codec);
            codec.DecompressFile(archive.archive, into, true, true);
        } catch (const StreamReadError& e) {
            refuse(backupFileDamaged(lastName(archive.archive), e.what()));
            return JobOutcome::Refused;
        } catch (const ZlibError& e) {
            refuse(backupFileDamaged(lastName(archive.archive), current + ": " + e.what()));
            return JobOutcome::Refused;
        } catch (const UnsafeNameError& e) {
            refuse(backupFileDamaged(lastName(archive.archive), e.what()));
            return JobOutcome::Refused;
        } catch (const EncryptedArchiveError& e) {
            refuse(e.what());
            return JobOutcome::Refused;
        } catch (const Error& e) {
            throw RestoreFailed(nothingRestored(e.what()));
        }
        if (reporter_.stopRequested()) {
            return JobOutcome::Stopped;
        }
        // Written onto the disk while the swap is planned, rather than
        // waited for after.
        files.startWriteBack(unpacked.back()->path());
        if (data_.full.hooks.unpacked) {
            data_.full.hooks.unpacked(*this, unpacked.back()->path());
        }
        if (std::function<void()> placed = adoptKeys(archive.folder, unpacked.back()->path())) {
            keysPlaced.push_back(std::move(placed));
        }
        if (!transaction) {
            transaction = std::make_unique<RestoreTransaction>(
                files, *root, [this] { return reporter_.stopRequested(); });
            transaction->setSourcesMovable(true);
        }
        for (const fs::path& linked : linkedProfiles(*root)) {
            transaction->allowLinkedFolder(*root / linked);
        }
        transaction->addFolder(unpacked.back()->path(), *root, fs::path());
        restored.push_back(archive);
    }
    if (transaction) {
        if (transaction->plannedFiles() == 0) {
            refuse(std::string(kArchiveHoldsNothing));
            return JobOutcome::Refused;
        }
        if (!transaction->commit()) {
            return JobOutcome::Stopped;
        }
    }
    for (const std::function<void()>& placed : keysPlaced) {
        placed();
    }
    done_.insert(done_.end(), restored.begin(), restored.end());
    return std::nullopt;
}

std::vector<fs::path> FullJob::linkedProfiles(const fs::path& root) {
    RestoreFiles& files = restoreFiles();
    std::vector<fs::path> places{fs::path()};
    if (const std::string_view folder = data_.selective.profilesFolder; !folder.empty()) {
        places.push_back(pathFromUtf8(folder));
    }
    std::vector<fs::path> linked;
    for (const fs::path& place : places) {
        std::error_code ec;
        for (const fs::path& name : files.list(root / place, ec)) {
            const fs::path relative = (place / name).lexically_normal();
            const PathStatus st = files.status(root / relative);
            if (st.kind == PathStatus::Kind::Link && st.ownedByUser &&
                fs::is_directory(root / relative, ec)) {
                linked.push_back(relative);
            }
        }
    }
    return linked;
}

bool FullJob::runStagedItems(const std::string& staging) {
    std::vector<ItemRun> runs;
    for (const FullItemStep& each : data_.full.staged.items) {
        if (const SelectiveItem* item = data_.selective.itemOfBox(each.checkBox)) {
            runs.push_back(
                {item, true, direction_ == Direction::Backup ? each.backupStep : each.restoreStep});
        }
    }
    ItemRunner runner(services_, state_, reporter_, direction_, WizardKind::Full, staging);
    runner.setRestoreFiles(restoreFiles());
    if (direction_ == Direction::Backup && browserRuns()) {
        runner.copyAsSnapshots(std::string(data_.name));
    }
    return runner.run(runs);
}

std::unique_ptr<PendingArchive> FullJob::packStaged(FullArchive& archive) {
    const FullItemPlan& staged = data_.full.staged;
    reporter_.progressShow();
    stepProgress(reporter_, staged.openingStep);
    StagingFolder staging(services_, state_.backups, staged.stagingName);
    archive.folder = staging.path();
    stepProgress(reporter_, staged.stagedStep);
    if (!runStagedItems(staging.path())) {
        return nullptr;
    }
    return pack(archive, archive.folder);
}

bool FullJob::unpackStaged(FullArchive& archive) {
    const FullItemPlan& staged = data_.full.staged;
    reporter_.progressShow();
    stepProgress(reporter_, staged.openingStep);
    StagingFolder staging(services_, state_.backups, staged.stagingName);
    archive.folder = staging.path();
    {
        TJvZlibMultiple codec(services_.paths());
        reportCodecEvents(codec, reporter_);
        codec.DecompressFile(archive.archive, archive.folder, true, true);
    }
    if (reporter_.stopRequested()) {
        return false;
    }
    stepProgress(reporter_, staged.stagedStep);
    return runStagedItems(staging.path());
}

} // namespace vellarion
