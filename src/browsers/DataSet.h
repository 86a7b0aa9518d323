#pragma once

#include "services/Environment.h"

#include <string_view>
#include <vector>

namespace vellarion {

// The texts and names of one window family (full or selective) of a browser.
struct WizardTexts {
    std::string_view backupCaption;  // window caption of the backup window
    std::string_view restoreCaption; // window caption of the restore window
    std::string_view backupTitle;    // `Label1` of the backup window
    std::string_view restoreTitle;   // `Label1` of the restore window
};

// What the full wizard ("Safe Backup", "Safe Restore") needs of a browser:
// the whole data root goes into one archive of a fixed name.
struct FullWizardData {
    WizardTexts texts;
    // Removed, one after the other, every occurrence and ignoring case, from
    // the marker's path to give the data root without a trailing separator.
    std::vector<std::string_view> rootTails;
    // The archive in the backup location ("fbackup_firefox.dat").
    std::string_view archiveName;
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
