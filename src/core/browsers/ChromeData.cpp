// Chrome, the Chromium family's first member: its data root is the "User
// Data" folder.
#include "core/browsers/Families.h"

namespace vellarion {

const BrowserDataSet& chromeDataSet() {
    static const BrowserDataSet data = [] {
        BrowserDataSet chrome = chromiumFamilyMember({
            .id = "chrome",
            .name = "Chrome",
            // Roaming data, the two per-user layouts, local data.
            .windowsRoots =
                {
                    {"{sfp}\\Google\\Chrome\\User Data", "{sfp}\\Google\\Chrome\\User Data"},
                    {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\Google\\Chrome\\"
                     "User Data",
                     "{drv}\\Users\\{uzer}\\AppData\\Local\\Google\\Chrome\\User Data"},
                    {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application "
                     "Data\\Google\\Chrome\\User Data",
                     "{drv}\\Users\\{uzer}\\AppData\\Roaming\\Google\\Chrome\\User Data"},
                    {"{loc}\\Google\\Chrome\\User Data", "{loc}\\Google\\Chrome\\User Data"},
                },
            // Chrome's "User Data" on Linux, and in the Flatpak package.
            .nativeRoots = {"{config}/google-chrome",
                            "{home}/.var/app/com.google.Chrome/config/google-chrome"},
            .archiveName = "fbackup_chrome.dat",
            .customProfileName = "ch_custom",
            .keyringApplication = "chrome",
            .keyringLabel = "Chrome Safe Storage",
        });
        // Chrome makes its data in the local application data, though it
        // also reads it from the roaming one.
        chrome.newRoots = {{"{loc}\\Google\\Chrome\\User Data"}};
        return chrome;
    }();
    return data;
}

} // namespace vellarion
