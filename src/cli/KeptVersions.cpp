#include "cli/KeptVersions.h"

#include "cli/Console.h"
#include "cli/Passwords.h"
#include "core/schedule/KeptVersions.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/SystemServices.h"
#include "core/wizards/Job.h"

#include <CLI/CLI.hpp>

namespace vellarion::cli {

void addKeepOption(CLI::App& command, int& keep) {
    command
        .add_option("--keep", keep,
                    "Keep versions: the archive's name gets the time (\"default 2026-12-09 "
                    "221700.dat\"), and once it reads whole only the newest N versions of it stay")
        ->type_name("N")
        ->check(CLI::Range(1, 1000));
}

void keepVersions(WizardJob& job, int keep) {
    if (keep > 0) {
        job.keepVersions(systemClock());
    }
}

void checkAndKeep(Console& console, SystemServices& services, PasswordSource& passwords,
                  const std::vector<std::string>& archives, int keep) {
    if (keep <= 0) {
        return;
    }
    const PathMapper& paths = services.paths();
    const NewVersion version =
        vellarion::checkAndKeep(services, archives, keep, [&](const std::string& path) {
            return std::optional<Secret>(passwords.forArchive(paths.toDisplay(path)));
        });
    if (!version.damage.empty()) {
        throw Error("the new archive does not read whole: " + version.damage +
                    "; no older version was deleted");
    }
    for (const std::string& path : version.retention.deleted) {
        console.err() << "vellarion-cli: deleted the older version "
                      << terminalText(paths.toDisplay(path)) << '\n';
    }
    for (const std::string& path : version.retention.keptBeyondCount) {
        console.warning("kept \"" + paths.toDisplay(path) +
                        "\" beyond --keep: no newer version reads whole");
    }
    for (const std::string& path : version.retention.future) {
        console.warning("\"" + paths.toDisplay(path) +
                        "\" is stamped later than now: the clock was wrong when it was written; "
                        "the new version is stamped with the time it was made");
    }
    for (const std::string& path : version.retention.notDeleted) {
        console.warning("could not delete the older version \"" + paths.toDisplay(path) + "\"");
    }
    console.err() << std::flush;
}

} // namespace vellarion::cli
