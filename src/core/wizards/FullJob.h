#pragma once

#include "core/browsers/DataSet.h"
#include "core/browsers/FullJobAccess.h"
#include "core/services/SystemServices.h"
#include "core/wizards/Job.h"
#include "core/wizards/WizardState.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

class PendingArchive;
class SnapshotSources;

// The full job ("Safe Backup", "Safe Restore"): a browser's whole data root
// into one archive of a fixed name and back, or the items of its selective
// table staged into that archive and put back from it. The same fixed sequence
// serves every browser, the windows, the command line and the tests; a browser's departures are the
// hooks of its data set. Errors of the archive codec are thrown (vellarion::Error) after the busy
// cursor was released; the reporter then hears of no finish.
class FullJob : public WizardJob, public FullJobAccess {
public:
    using WizardJob::WizardJob;

    // The search of the activation: gathers the user environment, builds the
    // candidate directories and searches them for the marker into
    // `fullFilePath` and `ffpath`. When no data root is found `ffpath` keeps
    // its value.
    bool locate() override;
    // The data set's message, else "Не найден файл параметров".
    std::string notFoundMessage() const override;
    // The marker search again, with the job's own template values.
    bool searchDataRoot(const TemplateVars& extra) override;

    // The backup: the placeholder test of `location`, then every folder of
    // the plan packed into its archive. The archives replace those of the
    // same names together once all are written; a failure or a stop before
    // that leaves every previous archive as it was.
    JobOutcome backup(std::string_view location);
    // The restore: the placeholder test, the archive test ("Backup File
    // "fbackup_<name>.dat" Not Found"), then every archive of the plan
    // unpacked whole into a folder of the job's own inside its data folder
    // (a damaged archive is refused there, before any write), and the files
    // swapped into place together as one transaction: existing files
    // replaced, nothing deleted but the stale logs of replaced databases. A
    // failure or a stop puts everything back (RestoreFailed is thrown for a
    // failure).
    JobOutcome restore(std::string_view location);

    // True when the last search found a data root a job may use: a folder
    // named from a drive or share, never the working directory or a whole
    // drive.
    bool hasDataRoot() const override;
    // Where the browser itself would make its data root on this system,
    // when none was found (a new machine, a fresh account): the first of the
    // data set's new roots that applies, as a program path. Nothing when
    // the browser names none, stages its items or finds its data its own way.
    std::optional<std::string> newDataRoot() const;
    // The stamp of the archive a restore from `location` reads: the one
    // given to stampArchives, else "" for the plain name when it is there,
    // else the newest kept version's; none when there is no archive.
    std::optional<std::string> archiveToRestore(std::string_view location) const;
    // Restores into `folder` (a program path, made when missing) rather
    // than into the data root found, or when none was: the user's choice.
    void restoreInto(std::string folder);

    bool searchesAtActivation() const override { return !data_.full.searchesAtJobStart; }

    // --- For the data sets' hooks ---
    SystemServices& services() const override { return services_; }
    const BrowserDataSet& data() const override { return data_; }
    WizardState& state() const override { return state_; }
    Direction direction() const { return direction_; }
    bool backingUp() const override { return direction_ == Direction::Backup; }
    // The archive of that name in the backup location: `backups` + "\" + name.
    std::string archivePath(std::string_view name) const override;
    // Adds a folder and its archive to the running job's plan.
    void addArchive(FullArchive archive) override;
    // Tells the user why the job stops (see JobReporter::refuse).
    void refuse(const std::string& text) override;

    // The archives the last job packed or unpacked, in order.
    const std::vector<FullArchive>& archives() const { return done_; }

private:
    JobOutcome run(Direction direction, std::string_view location);
    bool plan();
    // Packs one archive, left pending until the job commits every archive;
    // null when the reporter stopped it.
    std::unique_ptr<PendingArchive> pack(const FullArchive& archive);
    // Packs the folder `from` into the archive; `inUse`, when the browser
    // writes it meanwhile, says where each file is read from.
    std::unique_ptr<PendingArchive> pack(const FullArchive& archive, const std::string& from,
                                         SnapshotSources* inUse = nullptr);
    // Unpacks every archive of the plan and swaps their files in; the
    // outcome when that did not happen.
    std::optional<JobOutcome> restoreArchives();
    // The data set's staged items between their homes and the archive, in a
    // staging folder of the backup location; null or false when stopped.
    std::unique_ptr<PendingArchive> packStaged(FullArchive& archive);
    bool unpackStaged(FullArchive& archive);
    bool runStagedItems(const std::string& staging);
    // The links in the data root `root` that stand where the browser keeps
    // its profiles and lead to folders (a profile kept on another disk), as
    // paths below `root`: packed and restored as the profiles they are. No
    // other link is ever followed or written through.
    std::vector<std::filesystem::path> linkedProfiles(const std::filesystem::path& root);

    Direction direction_ = Direction::Backup;
    bool chosenRoot_ = false; // restoreInto named the data root
    std::vector<FullArchive> plan_;
    std::vector<FullArchive> done_;
};

} // namespace vellarion
