#include "cli/SelectiveCommands.h"

#include "cli/CommonOptions.h"
#include "cli/Console.h"
#include "cli/Interrupt.h"
#include "cli/JobOutput.h"
#include "cli/KeptVersions.h"
#include "cli/Passwords.h"
#include "cli/RemoteLocation.h"
#include "core/schedule/KeptVersions.h"
#include "core/services/Error.h"
#include "core/services/PathMapper.h"
#include "core/services/ProgramPath.h"
#include "core/services/SystemServices.h"
#include "core/services/Text.h"
#include "core/text/Catalogue.h"
#include "core/wizards/Messages.h"
#include "core/wizards/PlainSecrets.h"
#include "core/wizards/SelectiveJob.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <set>
#include <sstream>

namespace vellarion::cli {

namespace {

struct Arguments {
    std::string browser;
    EnvironmentOptions environment;
    std::string location;
    std::string archive;
    std::string profile;
    std::string customProfile;
    std::optional<std::string> items;
    bool replace = false;
    bool registerProfile = false;
    std::string newProfile;
    PasswordOptions password;
    int keep = 0;
    bool allowPlain = false;
    WaitOptions waits;
};

// The item keys of a browser, in backup order.
std::vector<std::string> itemKeys(const SelectiveWizardData& data) {
    std::vector<std::string> keys;
    for (const SelectiveItem& item : data.items) {
        if (!item.key.empty()) {
            keys.emplace_back(item.key);
        }
    }
    return keys;
}

// The boxes that --items ticks ("bookmarks,history"); without it, those the
// window starts with ticked. An unknown key is a usage error.
std::set<std::string> tickedBoxes(const SelectiveWizardData& data,
                                  const std::optional<std::string>& items) {
    std::set<std::string> boxes;
    if (!items) {
        for (const SelectiveItem& item : data.items) {
            if (!item.key.empty() && item.tickedAtStart) {
                boxes.emplace(item.checkBox);
            }
        }
        return boxes;
    }
    std::stringstream list(*items);
    std::string key;
    while (std::getline(list, key, ',')) {
        key.erase(0, key.find_first_not_of(" \t"));
        key.erase(key.find_last_not_of(" \t") + 1);
        if (key.empty()) {
            continue;
        }
        const SelectiveItem* item = data.itemOfKey(key);
        if (item == nullptr) {
            throw CLI::ValidationError("--items", say(E_("no item \"%1\"; the items are %2"),
                                                      {key, joinStrings(itemKeys(data), ", ")}));
        }
        boxes.emplace(item->checkBox);
    }
    return boxes;
}

// Selects the one entry `name` names (ChoiceList::called); false when none
// or two do (the folder has to say which).
bool select(ChoiceList& list, const std::string& name) {
    const std::vector<size_t> named = list.called(name);
    if (named.size() != 1) {
        return false;
    }
    list.selected = static_cast<int>(named.front());
    return true;
}

// A job of the selective wizard as the window would run it: activation,
// the profile chosen, the boxes ticked.
class CommandJob {
public:
    // Unknown item keys fail here, before anything else happens.
    CommandJob(Console& console, const Arguments& args)
        : args_(args), services_(makeServices(args.environment, console)),
          data_(browserDataSet(args.browser, *services_)),
          boxes_(tickedBoxes(data_.selective, args.items)),
          output_(console, services_->paths(), state_.backups),
          job_(*services_, data_, state_, output_), passwords_(console, args.password),
          where_(console, args.location), location_(where_.location()) {
        output_.allowReplacing(args.replace);
        output_.usePasswords(passwords_);
        output_.useWaits(waitDuration(args.waits.wait), args.waits.noWait);
    }

    PasswordSource& passwords() { return passwords_; }
    SystemServices& services() { return *services_; }
    CommandLocation& where() { return where_; }

    SelectiveJob& job() { return job_; }
    const WizardState& state() const { return state_; }

    // Activation and the profile list; the data root not found is an error
    // only when no custom location is given. A browser without profiles
    // takes neither option; one searched at Next is searched by the job,
    // where not finding it is no error.
    // A browser with no version here ends the command with its text.
    void requireAvailable() const {
        if (const std::string unavailable = job_.unavailableHere(); !unavailable.empty()) {
            throw Error(unavailable);
        }
    }

    void chooseProfile() {
        requireAvailable();
        const SelectiveWizardData& sel = data_.selective;
        if (!sel.listsProfiles && (!args_.profile.empty() || !args_.customProfile.empty())) {
            throw Error(say(E_("%1 has no profiles to choose from"), {data_.name}));
        }
        if (sel.searchesAtJobStart) {
            return;
        }
        const bool found = job_.locate();
        if (!args_.customProfile.empty() || !args_.newProfile.empty()) {
            return; // the data root may be missing: a new one is made
        }
        if (!found) {
            throw Error(translated(job_.notFoundMessage()) + noProfilesHint() + " " +
                        browsersFoundHint(*services_));
        }
        if (job_.profiles.entries.empty() && sel.listsProfiles) {
            throw Error(std::string(kSelectProfile) + noProfilesHint());
        }
        if (!args_.profile.empty() && !select(job_.profiles, args_.profile)) {
            throw Error(say(E_("no profile \"%1\"; the profiles are %2"),
                            {args_.profile, joinStrings(job_.profiles.entries, ", ")}));
        }
    }

    SelectiveChoices choices() const {
        SelectiveChoices c;
        c.backupLocation = location_;
        c.customLocation = args_.customProfile.empty() ? std::string(kCustomProfilePlaceholder)
                                                       : args_.customProfile;
        c.ticked = [this](std::string_view box) { return boxes_.count(std::string(box)) > 0; };
        c.registerProfile = args_.registerProfile;
        c.newProfile = args_.newProfile;
        return c;
    }

    // Where the search looked and how to make a profile, after a message
    // that none was found (starting with a space).
    std::string noProfilesHint() const {
        std::vector<std::string> looked;
        for (const std::string* dir :
             {&state_.v101, &state_.v102, &state_.dir1, &state_.dir2, &state_.dir3, &state_.dir4}) {
            if (!dir->empty()) {
                looked.push_back(nativePath(*dir));
            }
        }
        std::string text =
            " " + (looked.empty() ? say(E_("No %1 profile was found."), {data_.name})
                                  : say(E_("No %1 profile was found (looked in %2)."),
                                        {data_.name, joinStrings(looked, ", ")}));
        if (data_.selective.hooks.newProfileFolder) {
            text += " " + say(E_("To restore into a new one: restore %1 --new-profile NAME …; to "
                                 "bring back the whole data folder: full-restore %1 --from DIR."),
                              {data_.id});
        }
        return text;
    }

    // Chooses the archive of that name in the backup location: one the
    // window lists, or a file it leaves out (read-only, hidden) but that the
    // user named. A browser with an archive of a fixed name restores that
    // one (and says when it is not there).
    void chooseArchive() {
        const std::string_view fixed = data_.selective.fixedArchiveName;
        if (!fixed.empty()) {
            // Its archive, or a kept version of it.
            const std::string name(fixed);
            if (args_.archive == kLatest) {
                const std::vector<std::string> stamps = keptVersions(*services_, location_, name);
                if (stamps.empty()) {
                    throw Error(
                        say(E_("no kept version of \"%1\" in %2"), {name, nativePath(location_)}));
                }
                job_.stampArchives(stamps.front());
            } else if (const std::optional<std::string> stamp = stampIn(args_.archive, name)) {
                job_.stampArchives(*stamp);
            } else if (!args_.archive.empty() && !equalsIgnoreCase(args_.archive, fixed)) {
                throw Error(say(E_("%1 restores only \"%2\""), {data_.name, name}));
            }
            return;
        }
        const std::string name = archiveName();
        job_.listArchives(location_);
        if (select(job_.archives, name)) {
            return;
        }
        if (!services_->fileExists(joinPath(location_, name))) {
            requireFolder();
            throw Error(say(E_("%1 holds no archive \"%2\"."), {nativePath(location_), name}) +
                        " " + holdings());
        }
        job_.archives.append({name});
        select(job_.archives, name);
    }

    // The archive --archive names. "latest", or no --archive where the
    // profile's archive of the plain name is missing: its newest kept
    // version (a custom or new profile: of the only profile whose versions
    // lie in the location).
    std::string archiveName() const {
        if (!args_.archive.empty() && args_.archive != kLatest) {
            return args_.archive;
        }
        std::vector<std::string> names;
        if (const std::optional<std::string> chosen = job_.profiles.selection();
            chosen && args_.customProfile.empty() && args_.newProfile.empty()) {
            names.push_back(stagingName(data_.selective, *chosen).substr(1) + ".dat");
            if (args_.archive.empty() &&
                services_->fileExists(joinPath(location_, names.front()))) {
                return names.front();
            }
        } else {
            for (const std::string& file : services_->listFiles(location_, ".dat")) {
                const std::optional<StampedArchive> split = splitStamped(file);
                if (split &&
                    std::find(names.begin(), names.end(), split->fixedName) == names.end()) {
                    names.push_back(split->fixedName);
                }
            }
        }
        if (names.size() > 1) {
            throw Error(say(E_("versions of %1 lie in %2; name the archive with --archive"),
                            {joinStrings(names, ", "), nativePath(location_)}));
        }
        const std::vector<std::string> stamps =
            names.empty() ? std::vector<std::string>()
                          : keptVersions(*services_, location_, names.front());
        if (stamps.empty()) {
            requireFolder();
            if (args_.archive.empty()) {
                throw Error((names.empty() ? say(E_("%1 holds no backup of %2."),
                                                 {nativePath(location_), data_.name})
                                           : say(E_("%1 holds no backup of this profile (%2)."),
                                                 {nativePath(location_), names.front()})) +
                            " " + holdings());
            }
            throw Error((names.empty() ? say(E_("no kept version in %1"), {nativePath(location_)})
                                       : say(E_("no kept version of \"%1\" in %2"),
                                             {names.front(), nativePath(location_)})) +
                        ". " + holdings());
        }
        return stampedName(names.front(), stamps.front());
    }

    // A backup location on this machine that is no folder ends the command.
    void requireFolder() const {
        if (!where_.remote() && !services_->directoryExists(location_)) {
            throw Error(say(E_("The folder %1 does not exist."), {nativePath(location_)}));
        }
    }

    // What the backup location holds, for the user to name with --archive.
    std::string holdings() const {
        const std::vector<std::string> held = services_->listFiles(location_, ".dat");
        if (held.empty()) {
            return say(E_("It holds no archive (.dat) at all."));
        }
        return say(E_("It holds: %1; name one with --archive."), {joinStrings(held, ", ")});
    }

    const JobOutput& output() const { return output_; }

    // Where a program path lies on this machine, for the user to read.
    std::string nativePath(const std::string& path) const {
        return where_.shown(services_->paths().toDisplay(path));
    }

private:
    const Arguments& args_;
    std::unique_ptr<SystemServices> services_;
    const BrowserDataSet& data_;
    std::set<std::string> boxes_;
    WizardState state_;
    JobOutput output_;
    SelectiveJob job_;
    PasswordSource passwords_;
    // The backup location: the typed folder, or the private one of a remote.
    CommandLocation where_;
    const std::string& location_;
};

void profiles(Console& console, const Arguments& args) {
    CommandJob command(console, args);
    command.requireAvailable();
    recoverFirst(console, command.services(), command.job().data());
    if (!command.job().locate()) {
        throw Error(command.job().notFoundMessage() + command.noProfilesHint());
    }
    if (command.job().profiles.entries.empty() && command.job().selective().listsProfiles) {
        console.err() << "vellarion-cli: " << command.noProfilesHint().substr(1) << '\n';
    }
    // As the window shows them: the name the user gave a profile, where the
    // browser keeps one, with its folder.
    const ChoiceList& listed = command.job().profiles;
    for (size_t i = 0; i < listed.entries.size(); ++i) {
        console.out() << listed.shown(i) << '\n';
    }
    console.out() << std::flush;
}

void items(Console& console, const Arguments& args) {
    const std::unique_ptr<SystemServices> services = makeServices(args.environment, console);
    recoverFirst(console, *services, browserDataSet(args.browser, *services));
    for (const SelectiveItem& item : browserDataSet(args.browser).selective.items) {
        if (!item.key.empty()) {
            console.out() << item.key << '\t' << translated(item.caption) << '\n';
        }
    }
    console.out() << std::flush;
}

void backup(Console& console, const Arguments& args) {
    const SelectiveWizardData& data = browserDataSet(args.browser).selective;
    const std::set<std::string> boxes = tickedBoxes(data, args.items);
    const auto ticked = [&](std::string_view box) { return boxes.count(std::string(box)) > 0; };
    if (backupHoldsSecrets(data, ticked)) {
        refusePlainSecretsOffMachine(args.location, args.password.encrypt, args.allowPlain);
    }
    StopOnInterrupt interrupt;
    CommandJob command(console, args);
    command.where().run([&] {
        command.chooseProfile();
        // Asked before the job begins to draw its progress.
        command.passwords().forNewArchive();
        makeTypedFolder(args.location);
        keepVersions(command.job(), args.keep);
        endJob(console, command.job().backup(command.choices()));
        if (command.output().leftOut() > 0) {
            console.markIncomplete();
        }
    });
    if (command.where().remote()) {
        command.where().send(command.services(), command.passwords(), {command.job().archivePath()},
                             args.keep);
    } else {
        checkAndKeep(console, command.services(), command.passwords(),
                     {command.job().archivePath()}, args.keep);
    }
    if (!args.password.encrypt && backupHoldsSecrets(data, ticked)) {
        if (const std::string note = command.job().plainSecretsNote(command.job().state().ffpath);
            !note.empty()) {
            console.warning(note);
        }
    }
    console.out() << command.nativePath(command.job().archivePath()) << '\n' << std::flush;
    // How the archive comes back into a profile of its own, for a user at a
    // terminal.
    if (data.hooks.newProfileFolder && console.interactive()) {
        console.err() << "vellarion-cli: "
                      << terminalText(say(E_("To restore it into a new profile: restore %1 --from "
                                             "%2 --archive %3 --new-profile NAME"),
                                          {args.browser, commandWord(args.location),
                                           commandWord(lastName(command.job().archivePath()))}))
                      << '\n'
                      << std::flush;
    }
}

void restore(Console& console, const Arguments& args) {
    StopOnInterrupt interrupt;
    CommandJob command(console, args);
    command.where().run([&] {
        command.chooseProfile();
        command.chooseArchive();
        if (command.where().remote()) {
            if (const std::optional<std::string> archive = command.job().archiveToRestore()) {
                command.where().fetch({*archive});
            }
        }
        endJob(console, command.job().restore(command.choices()));
    });
    // A browser without profiles may have no folder of its own found.
    if (!command.state().ffpath.empty()) {
        console.out() << command.nativePath(
                             std::string(withoutTrailingSeparators(command.state().ffpath)))
                      << '\n'
                      << std::flush;
    }
    // Firefox and its kin start the default profile of their installation,
    // never a new one by itself (on a machine where it never ran, a profile
    // of its own made afresh): the user must choose it once.
    const BrowserDataSet& data = command.job().data();
    if (!args.newProfile.empty() && data.markerFile == "profiles.ini") {
        console.err() << "vellarion-cli: "
                      << terminalText(say(E_("%1 opens it once it is chosen: start %1 with -P "
                                             "(its profile manager) and choose \"%2\", or "
                                             "choose it in about:profiles"),
                                          {data.name, args.newProfile}))
                      << '\n'
                      << std::flush;
    }
}

// The options every job command takes: the browser, where the Windows data
// lives, the profile or a custom location, the items.
void addJobOptions(CLI::App& command, Arguments& args) {
    addBrowserArgument(command, args.browser);
    addEnvironmentOptions(command, args.environment);
    CLI::Option* profile =
        command
            .add_option("--profile", args.profile,
                        E_("The profile to use, by its folder or as the profiles command shows it "
                           "(default: the first)"))
            ->type_name("NAME");
    CLI::Option* customProfile =
        command
            .add_option("--custom-profile", args.customProfile,
                        E_("Use the profile in DIR instead of a listed one"))
            ->type_name("DIR");
    profile->excludes(customProfile);
    command
        .add_option("--items", args.items,
                    E_("The items, separated by commas (default: those the window starts with "
                       "ticked; see the items command)"))
        ->type_name("KEYS");
}

} // namespace

void addSelectiveCommands(CLI::App& app, Console& console) {
    auto args = std::make_shared<Arguments>();

    CLI::App* profilesCommand = app.add_subcommand(
        "profiles", E_("List the profiles of BROWSER, the first being the default"));
    addBrowserArgument(*profilesCommand, args->browser);
    addEnvironmentOptions(*profilesCommand, args->environment);
    profilesCommand->callback([&console, args] { profiles(console, *args); });

    CLI::App* itemsCommand = app.add_subcommand(
        "items", E_("List the items a backup or restore of BROWSER can take, with their captions"));
    addBrowserArgument(*itemsCommand, args->browser);
    addEnvironmentOptions(*itemsCommand, args->environment);
    itemsCommand->callback([&console, args] { items(console, *args); });

    CLI::App* backupCommand = app.add_subcommand(
        "backup", E_("Back up the ticked items of a profile of BROWSER into an archive in DIR, "
                     "named after the profile; prints the archive's path"));
    addJobOptions(*backupCommand, *args);
    backupCommand
        ->add_option(
            "--to", args->location,
            E_("The backup location: a folder, or rclone:REMOTE:PATH, a folder of a remote "
               "rclone knows"))
        ->type_name("DIR")
        ->required();
    addReplaceOption(*backupCommand, args->replace);
    addKeepOption(*backupCommand, args->keep);
    addAllowPlainOption(*backupCommand, args->allowPlain);
    addPasswordOptions(*backupCommand, args->password, true);
    addWaitOptions(*backupCommand, args->waits);
    backupCommand->callback([&console, args] { backup(console, *args); });

    CLI::App* restoreCommand = app.add_subcommand(
        "restore", E_("Restore the ticked items from the archive NAME in DIR into a profile of "
                      "BROWSER; prints the profile's folder"));
    addJobOptions(*restoreCommand, *args);
    restoreCommand
        ->add_option("--from", args->location,
                     E_("The backup location: a folder, or rclone:REMOTE:PATH"))
        ->type_name("DIR")
        ->required();
    restoreCommand
        ->add_option(
            "--archive", args->archive,
            E_("The archive in DIR to restore, or \"latest\": the newest kept version of "
               "the profile's archive (default: the profile's archive, else its newest kept "
               "version; Internet Explorer restores backup_ie.dat)"))
        ->type_name("NAME");
    restoreCommand
        ->add_flag("--register", args->registerProfile,
                   E_("Make the --custom-profile folder one of the browser's profiles (the Firefox "
                      "family of this machine: a new entry of its profiles.ini)"))
        ->needs("--custom-profile");
    restoreCommand
        ->add_option("--new-profile", args->newProfile,
                     E_("Restore into a new profile of this name, made where the browser keeps its "
                        "profiles (and its data folder, when there is none yet) and added to the "
                        "browser's list of profiles"))
        ->type_name("NAME")
        ->check(notBlank())
        ->excludes("--profile")
        ->excludes("--custom-profile");
    addPasswordOptions(*restoreCommand, args->password, false);
    addWaitOptions(*restoreCommand, args->waits);
    restoreCommand->callback([&console, args] { restore(console, *args); });
}

} // namespace vellarion::cli
