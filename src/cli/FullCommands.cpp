#include "cli/FullCommands.h"

#include "cli/CommonOptions.h"
#include "cli/Console.h"
#include "cli/CoreTexts.h"
#include "cli/Interrupt.h"
#include "cli/JobOutput.h"
#include "cli/KeptVersions.h"
#include "cli/Passwords.h"
#include "cli/RemoteLocation.h"
#include "core/remote/RemoteFolder.h"
#include "core/schedule/KeptVersions.h"
#include "core/services/Error.h"
#include "core/services/ProgramPath.h"
#include "core/wizards/FullJob.h"
#include "core/wizards/Messages.h"
#include "core/wizards/PlainSecrets.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>

namespace vellarion::cli {

namespace {

struct Arguments {
    EnvironmentOptions environment;
    std::string browser;
    std::string location;
    bool replace = false;
    std::string installFolder;
    std::string into;
    std::string archive;
    PasswordOptions password;
    int keep = 0;
    bool allowPlain = false;
    WaitOptions waits;
};

// The version --archive names for a restore from `location`: "latest" the
// newest kept one, a kept version's name its stamp, the plain name "".
// Without --archive the job chooses (the plain name, else the newest).
void chooseVersion(FullJob& job, const SystemServices& services, const std::string& location,
                   const std::string& archive) {
    if (archive.empty()) {
        return;
    }
    const std::string fixed(job.data().full.archiveName);
    if (archive == kLatest) {
        const std::vector<std::string> stamps = keptVersions(services, location, fixed);
        if (stamps.empty()) {
            throw Error(say(E_("no kept version of \"%1\" in %2"),
                            {fixed, services.paths().toDisplay(location)}));
        }
        job.stampArchives(stamps.front());
    } else if (const std::optional<std::string> stamp = stampIn(archive, fixed)) {
        job.stampArchives(*stamp);
    } else if (archive == fixed) {
        if (!services.fileExists(joinPath(location, fixed))) {
            throw Error(backupFileNotFound(fixed));
        }
    } else {
        throw CLI::ValidationError(
            "--archive", say(E_("\"%1\" is no archive of %2 (\"%3\" or a kept version of it)"),
                             {archive, job.data().name, fixed}));
    }
}

// A folder the user typed, as the program names it: a Windows path stays as
// it is; a path of this machine is made whole first.
std::string programFolder(const SystemServices& services, const std::string& typed) {
    if (hasDriveLetter(typed)) {
        return typed;
    }
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(pathFromUtf8(typed), ec);
    return services.paths().fromNative(ec ? pathFromUtf8(typed) : whole);
}

void run(Console& console, const Arguments& args, Direction direction) {
    // A whole data folder holds the passwords and cookies.
    if (direction == Direction::Backup) {
        refusePlainSecretsOffMachine(args.location, args.password.encrypt, args.allowPlain);
    }
    const std::unique_ptr<SystemServices> services = makeServices(args.environment, console);
    WizardState state;
    // Files are named below the data root.
    JobOutput output(console, services->paths(), state.ffpath);
    output.allowReplacing(args.replace);
    output.useWaits(waitDuration(args.waits.wait), args.waits.noWait);
    PasswordSource passwords(console, args.password);
    output.usePasswords(passwords);
    // A named installation folder is the classic Opera's.
    const BrowserDataSet& data = args.installFolder.empty()
                                     ? browserDataSet(args.browser, *services)
                                     : browserDataSet(args.browser);
    if (!args.installFolder.empty() && data.full.installFolderPrompt.empty()) {
        throw CLI::ValidationError("--install-folder",
                                   say(E_("%1 has no installation folder to name"), {data.name}));
    }
    // The name the windows ask for once the data is not found.
    state.customdir = args.installFolder;
    FullJob job(*services, data, state, output);
    StopOnInterrupt interrupt;
    CommandLocation where(console, args.location);
    const std::string& location = where.location();
    where.run([&] {
        // The data root not found: a backup refuses with the window's
        // message; a restore goes where the browser would make its data here.
        const bool found = job.locate();
        if (direction == Direction::Restore) {
            if (!args.into.empty()) {
                job.restoreInto(programFolder(*services, args.into));
            } else if (!found && job.unavailableHere().empty()) {
                if (const std::optional<std::string> root = job.newDataRoot()) {
                    console.out() << translated(restoringIntoNewRoot(
                                         data.name, services->paths().toDisplay(*root)))
                                  << '\n';
                    job.restoreInto(*root);
                }
            }
            chooseVersion(job, *services, location, args.archive);
            if (where.remote()) {
                const std::optional<std::string> stamp = job.archiveToRestore(location);
                where.fetch(fullArchivesOfVersion(
                    where.folder(), std::string(data.full.archiveName), stamp.value_or("")));
            }
        } else {
            passwords.forNewArchive();
            makeTypedFolder(args.location);
            keepVersions(job, args.keep);
        }
        if (direction == Direction::Backup && !found && job.unavailableHere().empty()) {
            // Not found here: which browsers' data is.
            try {
                endJob(console, job.backup(location));
            } catch (const BrowserRunning&) {
                throw;
            } catch (const Error& e) {
                if (e.what() != kSettingsNotFound) {
                    throw;
                }
                throw Error(userText(e.what()) + ". " + browsersFoundHint(*services));
            }
            return;
        }
        endJob(console,
               direction == Direction::Backup ? job.backup(location) : job.restore(location));
        if (direction == Direction::Backup && output.leftOut() > 0) {
            console.markIncomplete();
        }
    });
    if (direction == Direction::Backup) {
        std::vector<std::string> written;
        for (const FullArchive& archive : job.archives()) {
            written.push_back(archive.archive);
        }
        if (where.remote()) {
            where.send(*services, passwords, written, args.keep);
        } else {
            checkAndKeep(console, *services, passwords, written, args.keep);
        }
    }
    if (direction == Direction::Backup && !args.password.encrypt) {
        if (const std::string note = job.plainSecretsNote(job.state().ffpath); !note.empty()) {
            console.warning(note);
        }
    }
    for (const FullArchive& archive : job.archives()) {
        // Both as this machine names them.
        const std::string file = services->paths().toDisplay(archive.archive);
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(pathFromUtf8(file), ec);
        const std::string bytes = std::to_string(ec ? 0 : size);
        // Staged items come from many places; their staging folder is gone.
        const std::string what = data.full.staged.items.empty()
                                     ? std::string(withoutTrailingSeparators(
                                           services->paths().toDisplay(archive.folder)))
                                     : say(E_("the %1 items"), {data.name});
        if (direction == Direction::Backup) {
            console.out() << say(E_("Packed %1 into %2 (%3 bytes)"),
                                 {what, where.shown(file), bytes})
                          << '\n';
        } else {
            console.out() << say(E_("Unpacked %1 (%2 bytes) into %3"),
                                 {where.shown(file), bytes, what})
                          << '\n';
        }
    }
    console.out() << std::flush;
}

void addCommand(CLI::App& app, Console& console, Direction direction) {
    const bool backup = direction == Direction::Backup;
    auto args = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        backup ? "full-backup" : "full-restore",
        backup ? E_("Pack the browser's whole data folder into its archive in DIR "
                    "(fbackup_firefox.dat and its sisters)")
               : E_("Unpack the browser's archive in DIR over its data folder, replacing files of "
                    "the same names and keeping the others"));
    addBrowserArgument(*command, args->browser);
    command
        ->add_option(backup ? "--to" : "--from", args->location,
                     backup ? E_("The backup location: the folder to write the archive to, or "
                                 "rclone:REMOTE:PATH, a folder of a remote rclone knows")
                            : E_("The backup location: the folder holding the archive, or "
                                 "rclone:REMOTE:PATH"))
        ->type_name("DIR")
        ->required();
    addEnvironmentOptions(*command, args->environment);
    command
        ->add_option("--install-folder", args->installFolder,
                     E_("Opera: the installation folder to find the data through (\"Opera 10\" "
                        "for C:\\Program Files\\Opera 10), where the window asks for it"))
        ->type_name("NAME");
    if (backup) {
        addReplaceOption(*command, args->replace);
        addKeepOption(*command, args->keep);
        addAllowPlainOption(*command, args->allowPlain);
    } else {
        command
            ->add_option(
                "--archive", args->archive,
                E_("The version to restore: \"latest\" (the newest kept one) or a kept "
                   "version's name (default: the archive of the plain name, else the newest "
                   "kept version)"))
            ->type_name("NAME");
        command
            ->add_option(
                "--into", args->into,
                E_("Restore into DIR instead of the data folder found (made when missing). "
                   "Without it, where no data folder is found, the one the browser itself "
                   "would make here is used and named"))
            ->type_name("DIR")
            ->check(notBlank());
    }
    addPasswordOptions(*command, args->password, backup);
    addWaitOptions(*command, args->waits);
    command->callback([&console, args, direction] { run(console, *args, direction); });
}

} // namespace

void addFullCommands(CLI::App& app, Console& console) {
    addCommand(app, console, Direction::Backup);
    addCommand(app, console, Direction::Restore);
}

} // namespace vellarion::cli
