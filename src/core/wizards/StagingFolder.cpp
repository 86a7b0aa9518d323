#include "core/wizards/StagingFolder.h"

#include "core/services/Error.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/wizards/Messages.h"

namespace vellarion {

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
        if (services.createDirectory(path)) {
            path_ = std::move(path);
            return;
        }
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
    }
}

} // namespace vellarion
