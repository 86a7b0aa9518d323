#pragma once

#include "core/browsers/DataSet.h"
#include "core/wizards/Job.h"
#include "core/wizards/WizardState.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// What the selective windows tell the user besides the common texts.
// Next with no profile to back up from or restore into.
inline constexpr std::string_view kSelectProfile =
    "Please Select Profile Or Custom Profile Location";
// Next in a restore window with no archive chosen.
inline constexpr std::string_view kSelectBackupFile = "Please Select Backup File";

// A list the user picks one entry of: the profile list (`ListBox1`) or the
// archive list (`ListBox2`). The window shows it; the job fills and reads it.
struct ChoiceList {
    std::vector<std::string> entries;
    // What the user is shown for each entry where that is not the entry
    // itself (a profile's own name, "Work (Profile 1)"), "" elsewhere.
    std::vector<std::string> labels;
    int selected = -1; // -1: nothing selected
    bool enabled = true;

    // The selected entry; none when the list is disabled or nothing is
    // selected.
    std::optional<std::string> selection() const;
    // Appends the names (shown as `shownAs` says, where given) and selects
    // the first entry (when there is one).
    void append(const std::vector<std::string>& names,
                const std::vector<std::string>& shownAs = {});
    // What the user is shown for entry `index`.
    std::string shown(size_t index) const;
    // The entries `name` names: the entry itself or what is shown for it
    // (letter case ignored, as Windows names go); where none is, those the
    // browser itself calls so: "Work (Profile 1)", a folder
    // "k3x9ab12.default-release".
    std::vector<size_t> called(std::string_view name) const;
    void clear() {
        entries.clear();
        labels.clear();
        selected = -1;
    }
};

// What the user set in the window (or on the command line) for one job,
// besides the two lists.
struct SelectiveChoices {
    // The text of the backup location edit (`JvDirectoryEdit2`).
    std::string backupLocation;
    // The text of the custom profile location edit (`JvDirectoryEdit1`);
    // its placeholder when untouched.
    std::string customLocation;
    // Whether an item's box is ticked, asked when the job reaches the item.
    std::function<bool(std::string_view checkBox)> ticked;
    // Restore: delete the chosen archive once the restore has ended without
    // an error.
    bool deleteArchive = false;
    // Restore into a custom location: make that folder one of the browser's
    // profiles (where the browser keeps a list of them).
    bool registerProfile = false;
    // Restore: into a new profile of this name, made where the browser keeps
    // its profiles (in the data root, or where the browser would make one
    // when there is none) and registered in its list once the restore is
    // done. Wins over the profile list and the custom location.
    std::string newProfile;
};

// The selective wizard's engine, one per window: activation, the backup and
// restore jobs and the list handling, for any browser's data set. It works
// on the window's state (the documented fields) and reports through the
// JobReporter. Errors of the archive codec leave the job by exception, with
// the progress still showing as the failure left it. A stop the reporter
// asks for ends the job between items or chunks. Whatever ends a job, its
// staging or unpack folder is gone.
class SelectiveJob : public WizardJob {
public:
    using WizardJob::WizardJob;

    const SelectiveWizardData& selective() const { return data_.selective; }

    // The profile list (`ListBox1`) and, in a restore window, the archive
    // list (`ListBox2`).
    ChoiceList profiles;
    ChoiceList archives;

    // The search of the activation: finds the data root and appends its
    // profiles to the list (without emptying it first).
    bool locate() override;
    // "Файл параметров не найден. Выберите пользовательский профиль."
    std::string notFoundMessage() const override;

    // The custom profile location changed: the profile list is emptied and
    // disabled for the life of the window.
    void customProfileChanged();

    // Lists the archives (".dat" files) in the location into the archive
    // list, the first one selected.
    void listArchives(const std::string& location);

    // The backup and the restore job.
    JobOutcome backup(const SelectiveChoices& choices);
    JobOutcome restore(const SelectiveChoices& choices);

    // The boxes "Выбрать все" and "Снять все" set.
    std::vector<std::string_view> selectAllBoxes() const;

    // Where the last backup wrote its archive.
    std::string archivePath() const;
    // The archive a restore unpacks (`atspaudziam`): the chosen one, or the
    // browser's fixed name; none (and the user told) when there is none.
    // Asked before the restore too: the archive to fetch from a remote.
    std::optional<std::string> archiveToRestore();

    // Whether a restore can register its custom location as a profile.
    bool canRegisterProfiles() const {
        return static_cast<bool>(selective().hooks.registerProfile);
    }

    bool searchesAtActivation() const override { return !selective().searchesAtJobStart; }
    std::string unavailableHere() const override;

private:
    // Whether the new list of profiles is written with the restored files,
    // in one transaction: the profile lies in the data root.
    bool listedWithFiles() const;
    std::optional<ProfileListChange> listChange_;
    // Next's common start: the search of a browser that searches then, the
    // browser's own first step, the backup location, the profile directory.
    // False when refused.
    bool chooseProfile(const SelectiveChoices& choices);
    // The data root's search and its profiles, appended to the list.
    bool search();
    // The user told to close the browser that holds the job's profile; a
    // backup runs instead, its copies taken as snapshots.
    bool refuseWhileBrowserRuns(Direction direction = Direction::Restore);

    // The folders of the profiles a browser lists itself, by their names.
    std::vector<std::pair<std::string, std::string>> profileFolders_;
    // Whether the running job uses a custom location.
    bool custom_ = false;
    // Runs the items in that order; false when a stop was asked for. The
    // ticked items of which nothing was found go to `withoutData`.
    bool runItems(const std::vector<const SelectiveItem*>& items, Direction direction,
                  const std::string& staging, const SelectiveChoices& choices,
                  std::vector<const SelectiveItem*>& withoutData,
                  std::vector<std::string_view>* notes = nullptr);
};

// The staging name of a profile (`datfile`): a backslash and the name the
// browser's rule gives. Never empty and never naming the backup location
// itself or its parent: where the rule leaves no usable name (a profile
// folder of 9 characters or fewer), the profile's whole name serves.
std::string stagingName(const SelectiveWizardData& data, std::string_view profile);

// The name of the folder an archive is unpacked into: its name with every
// ".dat" removed (case ignored); "backup" where that leaves no usable name
// (an archive named ".dat").
std::string unpackName(std::string_view archive);

} // namespace vellarion
