#include "core/wizards/FullJob.h"

#include "core/archive/JvZlibMultiple.h"
#include "core/wizards/DataRoot.h"
#include "core/wizards/Messages.h"

namespace vellarion {

namespace {

// A folder named from the root of a drive or a share and lying below that
// root. The marker search answers with the bare file name when the marker
// lies in the working directory, and a marker at a drive's root would make
// the whole drive the data root: neither is a browser's data.
bool isFolderBelowRoot(std::string_view path) {
    if (hasDriveLetter(path)) {
        return path.size() > 3 && isPathSeparator(path[2]) &&
               path.find_first_not_of("\\/", 3) != std::string_view::npos;
    }
    if (path.size() > 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        return path.find_first_not_of("\\/", 2) != std::string_view::npos;
    }
#ifndef _WIN32
    // A native folder (a prefix given as a plain POSIX path).
    return path.size() > 1 && path[0] == '/' &&
           path.find_first_not_of('/') != std::string_view::npos;
#else
    return false;
#endif
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void runHook(const std::function<void(FullJob&)>& hook, FullJob& job) {
    if (hook) {
        hook(job);
    }
}

} // namespace

bool FullJob::locate() {
    if (data_.full.hooks.locate) {
        return data_.full.hooks.locate(*this);
    }
    locateDataRoot(services_, data_, data_.full.rootTails, state_);
    return hasDataRoot();
}

bool FullJob::hasDataRoot() const {
    return !state_.fullFilePath.empty() && isFolderBelowRoot(state_.ffpath);
}

std::string FullJob::notFoundMessage() const {
    return std::string(data_.full.notFoundMessage.empty() ? kSettingsNotFound
                                                          : data_.full.notFoundMessage);
}

std::string FullJob::archivePath(std::string_view name) const {
    return state_.backups + "\\" + std::string(name);
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
    return run(Direction::Restore, location);
}

bool FullJob::plan() {
    if (data_.full.hooks.plan) {
        return data_.full.hooks.plan(*this);
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
    direction_ = direction;
    plan_.clear();
    done_.clear();

    state_.backups = std::string(location);
    if (!backupLocationGiven(state_.backups)) {
        refuse(std::string(kSelectBackupLocation));
        return JobOutcome::Refused;
    }
    if (direction == Direction::Restore) {
        state_.aregzistuoja = archivePath(data_.full.archiveName);
        if (!services_.fileExists(state_.aregzistuoja)) {
            refuse(backupFileNotFound(data_.full.archiveName));
            return JobOutcome::Refused;
        }
    }
    if (!plan()) {
        return JobOutcome::Refused;
    }
    if (direction == Direction::Restore) {
        for (const FullArchive& archive : plan_) {
            if (archive.required && !services_.fileExists(archive.archive)) {
                refuse(backupFileNotFound(fileNameOf(archive.archive)));
                return JobOutcome::Refused;
            }
        }
    }

    const FullJobHooks& hooks = data_.full.hooks;
    {
        BusyCursor busy(reporter_);
        reporter_.jobStarted();
        if (direction == Direction::Backup) {
            runHook(hooks.beforePacking, *this);
            for (const FullArchive& archive : plan_) {
                if (!pack(archive)) {
                    return JobOutcome::Stopped;
                }
                done_.push_back(archive);
            }
            runHook(hooks.afterPacking, *this);
        } else {
            runHook(hooks.beforeUnpacking, *this);
            for (const FullArchive& archive : plan_) {
                if (!archive.required && !services_.fileExists(archive.archive)) {
                    continue;
                }
                if (!unpack(archive)) {
                    return JobOutcome::Stopped;
                }
                done_.push_back(archive);
            }
            runHook(hooks.afterUnpacking, *this);
        }
    }
    reporter_.jobFinished();
    return JobOutcome::Done;
}

bool FullJob::pack(const FullArchive& archive) {
    TJvZlibMultiple codec(services_.paths());
    reportCodecEvents(codec, reporter_);
    codec.CompressDirectory(archive.folder, true, archive.archive);
    return !reporter_.stopRequested();
}

bool FullJob::unpack(const FullArchive& archive) {
    TJvZlibMultiple codec(services_.paths());
    reportCodecEvents(codec, reporter_);
    codec.DecompressFile(archive.archive, archive.folder, true, true);
    return !reporter_.stopRequested();
}

} // namespace vellarion
