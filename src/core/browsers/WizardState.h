#pragma once

#include "core/services/Environment.h"

#include <string>

namespace vellarion {

// The state of one wizard window, under the names the windows are documented
// with. Each window owns one; its job reads and writes it.
struct WizardState {
    // The user environment, gathered at every activation.
    std::string uzer;    // login name
    std::string drv;     // system drive, "C:"
    std::string sfp;     // roaming application data (shell folder 26)
    std::string loc;     // local application data (shell folder 28)
    std::string windoze; // Windows major version as decimal text

    // The marker search.
    std::string fileName;   // the marker file's name
    std::string v101, v102; // two further candidates some browsers search first
    std::string dir1, dir2, dir3, dir4;
    std::string fullFilePath; // the marker found, or ""
    // The data root (full windows: without a trailing separator; selective
    // windows: with one, and the profile directory during a job).
    std::string ffpath;

    // The backup location, the text of the location edit taken at Next.
    std::string backups;
    // Full restore: the archive expected in the backup location.
    std::string aregzistuoja;

    // Selective windows.
    std::string ffpath2;      // the folder whose subfolders are the profiles
    std::string mpath;        // the data root kept while ffpath is the profile
    std::string cdir;         // the custom profile location taken at Next
    std::string profile;      // the profile the job uses
    std::string datfile;      // the staging name, "\" + a name
    std::string dfailas;      // restore: the archive listing pattern
    std::string atspaudziam;  // restore: the chosen archive's file name
    std::string atspaudziam2; // restore: that name without ".dat"
    std::string backuploc;    // restore: where the unpacked items lie

    // Browsers' own folders.
    std::string cook, favo;      // the parents of a browser's cookie and favourites folders
    std::string mdir, customdir; // a profile's mail directory; a named installation folder

    void setEnvironment(const UserEnvironment& env) {
        uzer = env.uzer;
        drv = env.drv;
        sfp = env.sfp;
        loc = env.loc;
        windoze = env.windoze;
    }
    UserEnvironment environment() const { return {uzer, drv, sfp, loc, windoze}; }
};

} // namespace vellarion
