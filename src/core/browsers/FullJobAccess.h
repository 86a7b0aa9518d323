#pragma once

#include "core/services/Environment.h"

#include <string>
#include <string_view>

namespace vellarion {

class SystemServices;
struct BrowserDataSet;
struct WizardState;

// One folder of a full job and the archive in the backup location that holds
// it. A backup packs the folder (with all its subfolders) into the archive; a
// restore unpacks the archive over the folder.
struct FullArchive {
    std::string folder;
    std::string archive;
    // Restore: a missing archive stops the job; an optional one is skipped.
    // Backup: an optional folder that is missing gives an archive of no file.
    bool required = true;
};

// What a running full job offers the hooks of a data set (FullJobHooks):
// the data set's departures are written against this, so that a browser's
// data never depends on the engine that runs it.
class FullJobAccess {
public:
    virtual SystemServices& services() const = 0;
    virtual const BrowserDataSet& data() const = 0;
    virtual WizardState& state() const = 0;
    // The job backs up (else it restores).
    virtual bool backingUp() const = 0;
    // The last search found a data root a job may use.
    virtual bool hasDataRoot() const = 0;
    // What the user is told when the data is not found.
    virtual std::string notFoundMessage() const = 0;
    // The marker search of the data set with these template values in place
    // of its defaults ({N}: an installation folder); true when found.
    virtual bool searchDataRoot(const TemplateVars& extra) = 0;
    // The archive of that name in the backup location.
    virtual std::string archivePath(std::string_view name) const = 0;
    // Adds a folder and its archive to the running job's plan.
    virtual void addArchive(FullArchive archive) = 0;
    // Tells the user why the job stops.
    virtual void refuse(const std::string& text) = 0;

protected:
    ~FullJobAccess() = default;
};

} // namespace vellarion
