#include "core/wizards/StagingFolder.h"

#include "core/restore/RestoreTransaction.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/services/platform/File.h"
#include "core/wizards/Messages.h"

namespace vellarion {

void StagingFolder::markAsOurs(std::string_view location, const std::string& name) {
    const auto folder = services_.paths().toNative(location);
    if (!folder) {
        return;
    }
    std::error_code ec;
    marker_ = *folder / pathFromUtf8(stagingMarkerName());
    platform::File file = platform::File::createNew(marker_, ec);
    if (!ec) {
        file.write(name.data(), name.size(), ec);
    }
    if (ec) {
        dropMarker(); // the folder is still removed at the end of the job
    }
}

void StagingFolder::dropMarker() {
    if (!marker_.empty()) {
        std::error_code ec;
        std::filesystem::remove(marker_, ec);
        marker_.clear();
    }
}

StagingFolder::StagingFolder(SystemServices& services, std::string_view location,
                             std::string_view name)
    : services_(services) {
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
        // The marker first: a run killed right after making the folder
        // leaves nothing the next run cannot tell as its own.
        markAsOurs(location, candidate);
        if (services.createDirectory(path)) {
            path_ = std::move(path);
            if (const auto folder = services.paths().toNative(path_)) {
                std::error_code ec;
                std::filesystem::permissions(*folder, std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::replace, ec);
            }
            return;
        }
        dropMarker();
        break;
    }
    throw Error(cannotCreateFolder(services.paths().toDisplay(path)));
}

StagingFolder::~StagingFolder() {
    try {
        remove();
    } catch (...) {
        // Ending an error's unwinding: the error the user sees is that one.
    }
}

void StagingFolder::remove() {
    if (!removed_) {
        removed_ = true;
        services_.DelTree(path_);
        dropMarker();
    }
}

} // namespace vellarion
