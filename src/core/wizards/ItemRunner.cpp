#include "core/wizards/ItemRunner.h"

#include "core/restore/RestoreTransaction.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/RunToken.h"
#include "core/services/SystemServices.h"
#include "core/services/platform/File.h"
#include "core/services/registry/RegistryText.h"
#include "core/wizards/JobReporter.h"
#include "core/wizards/Messages.h"
#include "core/wizards/WizardState.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace vellarion {

namespace fs = std::filesystem;

ItemRunner::ItemRunner(SystemServices& services, const WizardState& state, JobReporter& reporter,
                       Direction direction, WizardKind wizard, std::string staging)
    : services_(services), state_(state), reporter_(reporter), direction_(direction),
      wizard_(wizard), staging_(std::move(staging)), files_(&systemRestoreFiles()) {}

ItemRunner::~ItemRunner() = default;

bool ItemRunner::run(const std::vector<ItemRun>& items) {
    for (const ItemRun& each : items) {
        if (reporter_.stopRequested()) {
            return false;
        }
        runItem(each);
    }
    if (reporter_.stopRequested()) {
        return false;
    }
    if (direction_ == Direction::Restore && !finishRestore()) {
        return false;
    }
    reportRegistry();
    return true;
}

bool ItemRunner::finishRestore() {
    for (const auto& [file, content] : written_) {
        // Written whole into the job's own private folder first, then
        // swapped in with the restored files.
        const std::string source =
            joinPath(staging_, std::string(kReservedPrefix) + newRunToken() + ".list");
        const auto native = services_.paths().toNative(source);
        std::error_code ec;
        platform::File made = native ? platform::File::createNew(*native, ec) : platform::File();
        if (native && !ec) {
            made.write(content.data(), content.size(), ec);
            std::error_code closed;
            made.close(closed);
            ec = ec ? ec : closed;
        }
        if (!native || ec) {
            throw RestoreFailed("Cannot write \"" + source +
                                "\": " + (ec ? ec.message() : std::string("no such folder")) +
                                ". Nothing was restored.");
        }
        planRestore(true, source, ItemHome::DataRoot, file);
    }
    if (!transaction_) {
        loadKeys();
        return true;
    }
    // The keys go in once the files are in place and before the replaced
    // files go, so that a refused key takes the files back with it.
    transaction_->setLastStep([this] { loadKeys(); });
    if (!transaction_->commit()) {
        return false;
    }
    transaction_.reset();
    return true;
}

void ItemRunner::loadKeys() {
    struct Loaded {
        std::string_view key;
        std::string before; // the key as it was
    };
    std::vector<Loaded> loaded;
    const auto putBack = [&] {
        for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
            (void)services_.LoadKeyFromFile(it->key, it->before);
        }
    };
    const auto shown = [](std::string_view key) {
        return "HKEY_CURRENT_USER\\" + std::string(withoutTrailingSeparators(key));
    };
    for (const ItemEntry& entry : afterFiles_) {
        if (entry.kind == ItemEntry::Kind::Pause) {
            services_.pause(std::chrono::milliseconds(entry.amount));
            continue;
        }
        if (!services_.hasRegistry()) {
            registrySkipped_ = true;
            continue;
        }
        const std::string staged = joinPath(staging_, entry.stagedPath());
        if (!services_.fileExists(staged)) {
            continue; // the archive has no such key
        }
        std::string before = staged + ".before";
        switch (services_.SaveKeyToFile(entry.name, before)) {
        case SystemServices::KeySave::Saved:
            break;
        case SystemServices::KeySave::NoSuchKey:
            // Put back as an empty key: a key of no values and no subkeys.
            if (!services_.replaceFileContent(
                    before, RegistryText::create(shown(entry.name), "").serialize())) {
                putBack();
                throw RestoreFailed("Cannot write \"" + before + "\". Nothing was restored.");
            }
            break;
        case SystemServices::KeySave::NotSaved:
            putBack();
            throw RestoreFailed("Cannot keep the registry key \"" + shown(entry.name) +
                                "\" as it is before replacing it. Nothing was restored.");
        }
        loaded.push_back({entry.name, std::move(before)});
        if (const std::string refused = services_.LoadKeyFromFile(entry.name, staged);
            !refused.empty()) {
            putBack();
            throw RestoreFailed("Cannot restore the registry key \"" + shown(entry.name) +
                                "\": " + refused + ". Nothing was restored.");
        }
    }
}

void ItemRunner::planRestore(bool file, const std::string& source, ItemHome home,
                             const std::string& target) {
    const PathMapper& paths = services_.paths();
    const auto from = paths.toNative(source);
    const auto homeFolder = paths.toNative(homeOf(home));
    const auto to = paths.toNative(target);
    if (!from || !homeFolder || !to) {
        throw RestoreFailed("Cannot restore to \"" + target + "\". Nothing was restored.");
    }
    if (!transaction_) {
        // The journal lies above everything it names: in the data root when
        // the restore writes a file of it (the list of profiles) too.
        const auto dataRoot = paths.toNative(homeOf(ItemHome::DataRoot));
        const fs::path journalFolder =
            !written_.empty() && dataRoot && !state_.mpath.empty() ? *dataRoot : *homeFolder;
        transaction_ = std::make_unique<RestoreTransaction>(
            *files_, journalFolder, [this] { return reporter_.stopRequested(); });
        transaction_->setSourcesMovable(true);
        // A profile made on a fresh account: the data root around it is the
        // browser's too.
        if (const auto dataRoot = paths.toNative(state_.mpath); dataRoot && !state_.mpath.empty()) {
            transaction_->keepPrivate(*dataRoot);
        }
    }
    if (file) {
        const fs::path relative = to->lexically_relative(*homeFolder);
        transaction_->addFile(*from, *homeFolder, relative);
        // The database's log and journal go with it, so that its newest
        // rows come back too.
        for (std::string_view suffix : kDatabaseCompanions) {
            fs::path companion = *from;
            companion += pathFromUtf8(suffix);
            if (files_->status(companion).kind == PathStatus::Kind::File) {
                fs::path placed = relative;
                placed += pathFromUtf8(suffix);
                transaction_->addFile(companion, *homeFolder, placed);
            }
        }
    } else {
        // A folder lands under its own name in the parent of its place.
        transaction_->addFolder(
            *from, *homeFolder,
            (to->parent_path() / from->filename()).lexically_relative(*homeFolder));
    }
}

void ItemRunner::copyFailed(bool file, const std::string& source) {
    const auto native = services_.paths().toNative(source);
    const std::string shown = "\"" + (native ? pathToUtf8(*native) : source) + "\"";
    reporter_.fileSkipped(source, file ? "Cannot read file " + shown + ": it was not backed up"
                                       : "Not everything in the folder " + shown +
                                             " could be read (a link, or a file without "
                                             "access): what could not was not backed up");
}

void ItemRunner::reportRegistry() {
    if (registrySkipped_) {
        reporter_.showMessage(std::string(kRegistrySkipped));
    }
    if (!keysNotSaved_.empty()) {
        reporter_.showMessage(keysNotSaved(keysNotSaved_));
    }
}

bool ItemRunner::saveKey(const ItemEntry& entry, const std::string& staged) {
    if (!services_.hasRegistry()) {
        registrySkipped_ = true;
        return false;
    }
    const SystemServices::KeySave saved = services_.SaveKeyToFile(entry.name, staged);
    if (saved == SystemServices::KeySave::NotSaved) {
        keysNotSaved_.emplace_back(entry.name);
    }
    // A key that is there counts as found, saved or not: the keys that
    // could not be saved are named on their own.
    return saved != SystemServices::KeySave::NoSuchKey;
}

void ItemRunner::runItem(const ItemRun& run) {
    const SelectiveItem& item = *run.item;
    const auto entries = [&](const std::vector<ItemEntry>& list) {
        for (const ItemEntry& entry : list) {
            if (runsHere(entry)) {
                runEntry(entry, item);
            }
        }
    };
    if (run.ticked) {
        found_ = false;
        entries(item.entries);
        if (!found_) {
            empty_.push_back(&item);
        } else if (direction_ == Direction::Restore && !item.restoreNote.empty() &&
                   std::find(notes_.begin(), notes_.end(), item.restoreNote) == notes_.end()) {
            notes_.push_back(item.restoreNote);
        }
        stepProgress(reporter_, run.step);
    }
    entries(item.evenWhenUnticked);
}

bool ItemRunner::runsHere(const ItemEntry& entry) const {
    const JobKind job = direction_ == Direction::Backup ? JobKind::Backup : JobKind::Restore;
    return (entry.job == JobKind::Both || entry.job == job) &&
           (entry.wizard == WizardKind::Both || entry.wizard == wizard_);
}

std::string ItemRunner::homeOf(ItemHome home) const {
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

void ItemRunner::runEntry(const ItemEntry& entry, const SelectiveItem& item) {
    using Kind = ItemEntry::Kind;
    const std::string staged = joinPath(staging_, entry.stagedPath());
    switch (entry.kind) {
    case Kind::Step:
        stepProgress(reporter_, entry.amount);
        return;
    case Kind::Pause:
        if (direction_ == Direction::Restore) {
            afterFiles_.push_back(entry);
            return;
        }
        services_.pause(std::chrono::milliseconds(entry.amount));
        return;
    case Kind::RegistryKey:
        if (direction_ == Direction::Restore) {
            // Loaded once the files are in place; found when the archive has it.
            afterFiles_.push_back(entry);
            if (!services_.hasRegistry()) {
                registrySkipped_ = true;
                return;
            }
            found_ = services_.fileExists(staged) || found_;
            return;
        }
        found_ = saveKey(entry, staged) || found_;
        return;
    case Kind::File:
    case Kind::Folder:
        break;
    }
    const std::string home = homeOf(entry.home);
    const std::string atHome = home.empty() ? std::string() : joinPath(home, entry.name);
    const bool copied = direction_ == Direction::Backup ? copyEntry(entry, item, atHome, staged)
                                                        : copyEntry(entry, item, staged, atHome);
    found_ = found_ || copied;
}

// Copies a file, or a folder into the parent of `target` under its own name,
// creating the folders on the way: a folder copied into a missing folder
// would otherwise take that folder's place instead of landing inside it.
bool ItemRunner::copyEntry(const ItemEntry& entry, const SelectiveItem& item,
                           const std::string& source, const std::string& target) {
    const bool file = entry.kind == ItemEntry::Kind::File;
    const bool present = !source.empty() &&
                         (file ? services_.fileExists(source) : services_.directoryExists(source));
    if (!present) {
        if (entry.untickWhenMissing) {
            reporter_.untick(item.checkBox);
        }
        return false;
    }
    if (target.empty()) {
        return false; // nowhere to copy to
    }
    if (direction_ == Direction::Restore && entry.restoreOnlyIfMissing &&
        services_.fileExists(target)) {
        return true; // there, and kept
    }
    if (direction_ == Direction::Restore) {
        planRestore(file, source, entry.home, target);
        return true;
    }
    const std::string targetDir = parentPath(target);
    if (!services_.directoryExists(targetDir)) {
        services_.createDirectories(targetDir);
    }
    if (!snapshotsOf_.empty()) {
        copySnapshot(file, source, target);
    } else if (file) {
        copyFileWithCompanions(source, target);
    } else if (!services_.CopyDir(source, targetDir)) {
        copyFailed(false, source);
    }
    return true;
}

void ItemRunner::copySnapshot(bool file, const std::string& source, const std::string& target) {
    const PathMapper& paths = services_.paths();
    const auto from = paths.toNative(source);
    const auto to = paths.toNative(file ? target : joinPath(parentPath(target), lastName(source)));
    if (!from || !to) {
        copyFailed(file, source);
        return;
    }
    Snapshot snapshot(services_);
    if (file) {
        const SnapshotResult result = snapshot.copyFile(*from, *to);
        if (result.outcome != SnapshotOutcome::Copied) {
            reportLeftOut(reporter_, paths, {*from, result}, snapshotsOf_);
        }
        return;
    }
    TreeSnapshot tree(snapshot);
    tree.stopRequested = [this] { return reporter_.stopRequested(); };
    tree.copy(*from, *to);
    for (const LeftOut& left : tree.leftOut()) {
        reportLeftOut(reporter_, paths, left, snapshotsOf_);
    }
}

void reportLeftOut(JobReporter& reporter, const PathMapper& paths, const LeftOut& left,
                   std::string_view browser) {
    const std::string shown = pathToUtf8(left.path);
    const std::string source = paths.fromNative(left.path);
    switch (left.result.outcome) {
    case SnapshotOutcome::Copied:
    case SnapshotOutcome::Missing:
        return;
    case SnapshotOutcome::HeldOpen:
        reporter.fileSkipped(source, keptOpenByBrowser(pathToUtf8(left.path.filename()), browser));
        return;
    case SnapshotOutcome::Unsettled:
        reporter.fileSkipped(source, keptChanging(shown, left.result.detail));
        return;
    case SnapshotOutcome::Unreadable:
        reporter.fileSkipped(source, left.link
                                         ? "Symbolic link \"" + shown + "\" skipped"
                                         : "Cannot read file \"" + shown + "\" (" +
                                               left.result.detail + "): it was not backed up");
        return;
    }
}

void ItemRunner::copyFileWithCompanions(const std::string& source, const std::string& target) {
    // Into a staging folder of the backup's own: nothing there to replace.
    if (!services_.copyFile(source, target)) {
        copyFailed(true, source);
        return;
    }
    for (std::string_view suffix : kDatabaseCompanions) {
        const std::string companion = source + std::string(suffix);
        if (services_.fileExists(companion) &&
            !services_.copyFile(companion, target + std::string(suffix))) {
            copyFailed(true, companion);
        }
    }
}

} // namespace vellarion
