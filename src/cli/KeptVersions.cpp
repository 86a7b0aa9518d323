#include "cli/KeptVersions.h"

#include "cli/Console.h"
#include "cli/CoreTexts.h"
#include "cli/Passwords.h"
#include "core/schedule/KeptVersions.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/SystemServices.h"
#include "core/text/Catalogue.h"
#include "core/wizards/Job.h"

#include <CLI/CLI.hpp>

namespace vellarion::cli {

void addKeepOption(CLI::App& command, int& keep) {
    command
        .add_option(
            "--keep", keep,
            E_("Keep versions: the archive's name gets the time (\"default 2026-12-09 "
               "221700.dat\"), and once it reads whole only the newest N versions of it stay"))
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
        throw Error(say(E_("the new archive does not read whole: %1; no older version was deleted"),
                        {userText(version.damage)}));
    }
    tellRetention(console, version.retention,
                  [&](const std::string& path) { return paths.toDisplay(path); });
}

void tellRetention(Console& console, const Retention& retention,
                   const std::function<std::string(const std::string&)>& shown) {
    for (const std::string& path : retention.deleted) {
        console.err() << "vellarion-cli: "
                      << terminalText(say(E_("deleted the older version %1"), {shown(path)}))
                      << '\n';
    }
    for (const std::string& path : retention.keptBeyondCount) {
        console.warning(
            say(E_("kept \"%1\" beyond --keep: no newer version reads whole"), {shown(path)}));
    }
    for (const std::string& path : retention.future) {
        console.warning(say(E_("\"%1\" is stamped later than now: the clock was wrong when it "
                               "was written; the new version is stamped with the time it was made"),
                            {shown(path)}));
    }
    for (const std::string& path : retention.notDeleted) {
        console.warning(say(E_("could not delete the older version \"%1\""), {shown(path)}));
    }
    console.err() << std::flush;
}

} // namespace vellarion::cli
