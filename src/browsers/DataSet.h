#pragma once

#include "services/Environment.h"

#include <functional>
#include <string_view>
#include <vector>

namespace vellarion {

class FullJob;

// The texts and names of one window family (full or selective) of a browser.
struct WizardTexts {
    std::string_view backupCaption;  // window caption of the backup window
    std::string_view restoreCaption; // window caption of the restore window
    std::string_view backupTitle;    // `Label1` of the backup window
    std::string_view restoreTitle;   // `Label1` of the restore window
};

// A browser's departures from the full job's fixed sequence (FullJob.h).
// Each one is optional; a browser that needs none packs its data root into
// its archive and unpacks it there again.
struct FullJobHooks {
    // Replaces the marker search at activation (a browser whose data is not
    // found by a marker). Returns whether the data was found.
    std::function<bool(FullJob&)> locate;
    // Says what the job packs or unpacks (FullJob::addArchive) once the
    // location, and on restore the archive, passed their checks. Returning
    // false stops the job; the hook has told the user why
    // (FullJob::refuse). Without it: the located data root into archiveName.
    std::function<bool(FullJob&)> plan;
    // Around the archive codec, inside the busy cursor: a staging folder is
    // filled before packing and removed after it, or put back in place after
    // unpacking. Not run once the codec failed.
    std::function<void(FullJob&)> beforePacking;
    std::function<void(FullJob&)> afterPacking;
    std::function<void(FullJob&)> beforeUnpacking;
    std::function<void(FullJob&)> afterUnpacking;
};

// What the full wizard ("Safe Backup", "Safe Restore") needs of a browser:
// the whole data root goes into one archive of a fixed name.
struct FullWizardData {
    WizardTexts texts;
    // Removed, one after the other, every occurrence and ignoring case, from
    // the marker's path to give the data root without a trailing separator.
    std::vector<std::string_view> rootTails;
    // The archive in the backup location ("fbackup_firefox.dat"). A restore
    // needs it to be there before anything else.
    std::string_view archiveName;
    // Shown when the data root is not found; empty: "Не найден файл параметров".
    std::string_view notFoundMessage = {};
    FullJobHooks hooks = {};
};

// One browser's data set: where its data lives and how each window family
// treats it. The job engines are written once; everything particular to a
// browser is data here.
struct BrowserDataSet {
    std::string_view id;         // the command line's name ("firefox")
    std::string_view name;       // "Firefox"
    std::string_view markerFile; // the file whose folder is the data root ("profiles.ini")
    // The candidate directories in list order (dir1, dir2, ...), each with
    // its forms for Windows "5" and "6" (templates over the environment).
    std::vector<CandidateForms> candidates;
    FullWizardData full;
};

const BrowserDataSet& firefoxDataSet();
const BrowserDataSet& flockDataSet();

// The data sets the program knows, in the ribbon's order.
const std::vector<const BrowserDataSet*>& allDataSets();
// The data set whose id is `id` (case ignored), or null.
const BrowserDataSet* findDataSet(std::string_view id);

} // namespace vellarion
