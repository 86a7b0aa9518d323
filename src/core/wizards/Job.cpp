#include "core/wizards/Job.h"

#include "core/archive/JvZlibMultiple.h"
#include "core/browsers/DataSet.h"
#include "core/restore/RestoreTransaction.h"
#include "core/services/Error.h"
#include "core/services/SystemServices.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"
#include "core/wizards/DataRoot.h"
#include "core/wizards/Messages.h"
#include "core/wizards/PlainSecrets.h"
#include "core/wizards/WizardState.h"

#include <algorithm>
#include <filesystem>
#include <thread>

namespace vellarion {

bool WizardJob::activate() {
    if (const std::string unavailable = unavailableHere(); !unavailable.empty()) {
        reporter_.showMessage(unavailable);
        return false;
    }
    if (!searchesAtActivation()) {
        return true;
    }
    const bool found = locate();
    if (!found) {
        reporter_.showMessage(notFoundMessage());
    }
    return found;
}

void WizardJob::locateAnew() {
    state_.fullFilePath.clear();
    state_.ffpath.clear();
    state_.mpath.clear();
    locate();
}

bool WizardJob::refuseWhenUnavailable() {
    const std::string unavailable = unavailableHere();
    if (!unavailable.empty()) {
        reporter_.refuse(unavailable);
    }
    return !unavailable.empty();
}

std::string WizardJob::unavailableHere() const {
    if (!services_.isNative() || data_.native.unavailable.empty()) {
        return {};
    }
    std::string text(data_.native.unavailable);
    for (const auto& [name, folder] : services_.nativeFolders()) {
        std::error_code ec;
        const std::filesystem::path wine = pathFromUtf8(folder) / ".wine";
        if (name == "home" && std::filesystem::is_directory(wine / "drive_c", ec)) {
            text += " A Windows prefix is in " + pathToUtf8(wine) + ": --prefix " +
                    pathToUtf8(wine) + ".";
        }
    }
    return text;
}

namespace {

bool holdsLock(const SystemServices& services, const std::vector<std::string_view>& locks,
               const std::string& folder, int depth) {
    if (locks.empty()) {
        return false; // a browser without locks: nothing to list
    }
    for (std::string_view lock : locks) {
        if (services.isLockHeld(joinPath(folder, lock))) {
            return true;
        }
    }
    if (depth <= 0) {
        return false;
    }
    std::vector<std::string> below;
    services.GetSubDirectories(folder, below);
    for (const std::string& name : below) {
        if (holdsLock(services, locks, joinPath(folder, name), depth - 1)) {
            return true;
        }
    }
    return false;
}

// Pauses between two looks at a lock someone holds: short at first, then
// longer, so that a long wait costs next to nothing.
class GrowingPause {
public:
    void operator()() {
        std::this_thread::sleep_for(pause_);
        pause_ = std::min(pause_ * 2, kLongest);
    }

private:
    static constexpr std::chrono::milliseconds kLongest{1000};
    std::chrono::milliseconds pause_{50};
};

} // namespace

bool WizardJob::refuseWhileRunning(const std::vector<std::string>& folders, int depth) {
    const auto heldFolder = [&]() -> const std::string* {
        for (const std::string& folder : folders) {
            if (!folder.empty() && holdsLock(services_, data_.lockFiles, folder, depth)) {
                return &folder;
            }
        }
        return nullptr;
    };
    const std::string* held = heldFolder();
    if (held == nullptr) {
        return false;
    }
    if (const std::optional<std::chrono::milliseconds> wait = reporter_.browserHolds(
            data_.name,
            services_.paths().toDisplay(std::string(withoutTrailingSeparators(*held))))) {
        const auto start = std::chrono::steady_clock::now();
        GrowingPause pause;
        while (held != nullptr && !reporter_.stopRequested() &&
               std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start) < *wait) {
            pause();
            held = heldFolder();
        }
        if (reporter_.stopRequested()) {
            return true; // stopped: nothing done, nothing more to say
        }
        if (held == nullptr) {
            return false;
        }
    }
    reporter_.browserRunning(closeBrowserFirst(data_.name));
    return true;
}

bool WizardJob::holdFolders(const std::vector<std::string>& folders) {
    held_.clear();
    // Taken in one order, that of their lock files, so that two jobs never
    // each hold a folder the other waits for.
    std::vector<std::pair<std::filesystem::path, std::string>> wanted;
    for (const std::string& folder : folders) {
        if (const auto native =
                folder.empty() ? std::nullopt : services_.paths().toNative(folder)) {
            wanted.emplace_back(folderLockFile(*native), folder);
        }
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 wanted.end());
    for (const auto& [file, folder] : wanted) {
        const std::filesystem::path native = *services_.paths().toNative(folder);
        std::optional<FolderLock> lock = FolderLock::tryTake(native);
        if (!lock) {
            const std::string shown(withoutTrailingSeparators(folder));
            if (!reporter_.waitForOtherJob(services_.paths().toDisplay(shown))) {
                held_.clear();
                return false;
            }
            GrowingPause pause;
            while (!(lock = FolderLock::tryTake(native))) {
                if (reporter_.stopRequested()) {
                    held_.clear();
                    return false;
                }
                pause();
            }
        }
        held_.push_back(std::move(*lock));
    }
    return true;
}

bool WizardJob::noteWhileRunning(const std::vector<std::string>& folders, int depth) {
    browserRuns_ = false;
    for (const std::string& folder : folders) {
        if (!folder.empty() && holdsLock(services_, data_.lockFiles, folder, depth)) {
            browserRuns_ = true;
            reporter_.showMessage(backupWhileRunning(data_.name));
            break;
        }
    }
    return browserRuns_;
}

std::string WizardJob::commitArchive(PendingArchive& archive, const std::string& path) {
    if (stamp_.empty()) {
        archive.commit();
        return path;
    }
    std::string name = path;
    while (!archive.commitNew(services_.paths(), name)) {
        const std::optional<StampedArchive> split = splitStamped(lastName(name));
        if (!split) {
            archive.commit(); // not a version: the name is the user's to replace
            return name;
        }
        stamp_ = freeStampFrom(services_, parentPath(name), {split->fixedName}, stamp_);
        name = restamped(name, stamp_);
    }
    return name;
}

void WizardJob::carryKeys(TJvZlibMultiple& codec, const std::string& dataRoot) {
    if (!data_.keys.carry) {
        return;
    }
    codec.OnCarriedRecord = [this, dataRoot]() -> std::optional<Secret> {
        return data_.keys.carry({services_, keyStores_, dataRoot, keysSaid_});
    };
}

void WizardJob::receiveKeys(TJvZlibMultiple& codec) {
    carriedKey_.reset();
    keysAdopted_ = false;
    if (!data_.keys.adopt) {
        return;
    }
    codec.OnCarriedRecordRead = [this](Secret record) { carriedKey_ = std::move(record); };
}

std::function<void()> WizardJob::adoptKeys(const std::string& dataRoot,
                                           const std::filesystem::path& unpacked) {
    if (!carriedKey_) {
        // A plain archive: what of its passwords and cookies will not open
        // here is said.
        if (data_.keys.withoutKey) {
            data_.keys.withoutKey({services_, keyStores_, dataRoot, keysSaid_}, unpacked);
        }
        return {};
    }
    if (!data_.keys.adopt) {
        return {};
    }
    const Secret carried = std::move(*carriedKey_);
    carriedKey_.reset();
    keysAdopted_ = true;
    return data_.keys.adopt({services_, keyStores_, dataRoot, keysSaid_}, carried, unpacked);
}

std::string WizardJob::plainSecretsNote(const std::string& folder) {
    if (!data_.keys.plainBackupNote) {
        return std::string(kSecretsReadableCli);
    }
    std::vector<std::string> unused;
    const std::string& dataRoot = state_.mpath.empty() ? state_.ffpath : state_.mpath;
    return data_.keys.plainBackupNote({services_, keyStores_, dataRoot, unused}, folder);
}

void WizardJob::tellOfKeys() {
    for (const std::string& said : keysSaid_) {
        reporter_.showMessage(said);
    }
    keysSaid_.clear();
}

RestoreFiles& WizardJob::restoreFiles() const {
    return files_ != nullptr ? *files_ : systemRestoreFiles();
}

void WizardJob::recoverInterrupted(const std::vector<std::string>& homes,
                                   const std::string& location) {
    // A restore keeps its journal in the folder all its files lie in: a
    // home, the parent of one it had to make, or the folder of them all.
    std::vector<std::filesystem::path> places;
    std::vector<std::filesystem::path> native;
    for (const std::string& home : homes) {
        if (const auto path = home.empty() ? std::nullopt : services_.paths().toNative(home)) {
            native.push_back(path->lexically_normal());
            places.push_back(native.back());
            places.push_back(native.back().parent_path());
        }
    }
    places.push_back(commonFolder(native));
    if (const auto path = location.empty() ? std::nullopt : services_.paths().toNative(location)) {
        places.push_back(*path);
    }
    std::vector<std::filesystem::path> seen;
    for (const std::filesystem::path& place : places) {
        if (place.empty() || std::find(seen.begin(), seen.end(), place) != seen.end()) {
            continue;
        }
        seen.push_back(place);
        for (const std::string& said : recoverRestores(restoreFiles(), place)) {
            reporter_.showMessage(said);
        }
    }
}

std::vector<std::string> recoverBrowserData(SystemServices& services, const BrowserDataSet& data) {
    std::vector<std::string> said;
    WizardState state;
    if (!locateDataRoot(services, data, data.full.rootTails, state) || state.ffpath.empty() ||
        holdsLock(services, data.lockFiles, state.ffpath, 2)) {
        return said;
    }
    const std::optional<std::filesystem::path> root = services.paths().toNative(state.ffpath);
    if (!root) {
        return said;
    }
    // A restore keeps its journal in the data root (or above it, where it
    // made the root) or in the profile it wrote: the root's folders and
    // those of its "Profiles".
    const std::filesystem::path top = root->lexically_normal();
    std::vector<std::filesystem::path> places{top.has_filename() ? top : top.parent_path()};
    places.push_back(places.front().parent_path());
    for (const std::filesystem::path& folder : {places.front(), places.front() / "Profiles"}) {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
             it.increment(ec)) {
            std::error_code kind;
            if (it->is_directory(kind) && !it->is_symlink(kind)) {
                places.push_back(it->path());
            }
        }
    }
    for (const std::filesystem::path& place : places) {
        for (std::string& sentence : recoverRestores(systemRestoreFiles(), place)) {
            said.push_back(std::move(sentence));
        }
    }
    return said;
}

bool JobReporter::waitForOtherJob(const std::string& folder) {
    refuse(formatText(kFolderInUse, {folder}));
    return false;
}

void JobReporter::itemsWithoutData(Direction direction,
                                   const std::vector<const SelectiveItem*>& items) {
    std::vector<std::string> captions;
    for (const SelectiveItem* item : items) {
        captions.emplace_back(item->caption);
    }
    showMessage(itemsWithoutDataMessage(direction == Direction::Backup, captions));
}

bool backupLocationGiven(std::string_view location) {
    // The edit still shows its hint, in either language.
    return location != kBackupLocationPlaceholder &&
           location != translated(kBackupLocationPlaceholder) && !isBlank(location);
}

void makeBackupLocation(SystemServices& services, std::string_view location) {
    std::vector<std::string> missing; // the deepest first
    std::string folder(withoutTrailingSeparators(location));
    while (!folder.empty() && !services.directoryExists(folder)) {
        missing.push_back(folder);
        std::string parent = parentPath(folder);
        if (parent.size() >= folder.size()) {
            break;
        }
        folder = std::move(parent);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        // Made meanwhile by someone else is as good.
        if (!services.createDirectory(*it) && !services.directoryExists(*it)) {
            throw Error(cannotCreateFolder(services.paths().toDisplay(*it)));
        }
    }
}

BusyCursor::BusyCursor(JobReporter& reporter, bool on) : reporter_(reporter), on_(on) {
    if (on_) {
        reporter_.busy(true);
    }
}

BusyCursor::~BusyCursor() {
    if (on_) {
        reporter_.busy(false);
    }
}

void reportCodecEvents(TJvZlibMultiple& codec, JobReporter& reporter) {
    const auto stopIfAsked = [&reporter](TJvZlibMultiple& sender) {
        if (reporter.stopRequested()) {
            sender.StopCompression();
            sender.StopDecompression();
        }
    };
    codec.OnCompressingFile = [&reporter, stopIfAsked](TJvZlibMultiple& sender,
                                                       const std::string& file) {
        reporter.fileStarted(file);
        stopIfAsked(sender);
    };
    codec.OnDecompressingFile = [&reporter, stopIfAsked](TJvZlibMultiple& sender,
                                                         const std::string& file, bool&) {
        reporter.fileStarted(file);
        stopIfAsked(sender);
    };
    codec.OnVerifyingFile = [&reporter, stopIfAsked](TJvZlibMultiple& sender,
                                                     const std::string& file) {
        reporter.fileStarted(file);
        stopIfAsked(sender);
    };
    codec.OnProgress = [&reporter, stopIfAsked](TJvZlibMultiple& sender, std::int32_t position,
                                                std::int32_t total) {
        reporter.fileProgress(position, total);
        stopIfAsked(sender);
    };
    codec.OnFileSkip = [&reporter](TJvZlibMultiple&, const std::string& file, const std::string&,
                                   const std::string& message) {
        reporter.fileSkipped(file, message);
    };
    codec.OnEncryptionPassword = [&reporter] { return reporter.encryptionPassword(); };
    codec.OnPasswordNeeded = [&reporter](const std::string& file) {
        return reporter.archivePassword(file);
    };
}

} // namespace vellarion
