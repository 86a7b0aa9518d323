// The Chromium family's members beside Chrome: where each keeps its "User
// Data" on Windows and on this machine, and its names. Where each was
// checked is in docs/browser-data.md.
#include "core/browsers/Families.h"

namespace vellarion {

const BrowserDataSet& edgeDataSet() {
    static const BrowserDataSet data = chromiumFamilyMember({
        .id = "edge",
        .name = "Edge",
        .windowsRoots = {{"{loc}\\Microsoft\\Edge\\User Data",
                          "{loc}\\Microsoft\\Edge\\User Data"}},
        .nativeRoots = {"{config}/microsoft-edge",
                        "{home}/.var/app/com.microsoft.Edge/config/microsoft-edge"},
        .archiveName = "fbackup_edge.dat",
        .customProfileName = "edge_custom",
        .keyringApplication = "microsoft-edge",
        .keyringLabel = "Microsoft Edge Safe Storage",
    });
    return data;
}

const BrowserDataSet& braveDataSet() {
    static const BrowserDataSet data = chromiumFamilyMember({
        .id = "brave",
        .name = "Brave",
        .windowsRoots = {{"{loc}\\BraveSoftware\\Brave-Browser\\User Data",
                          "{loc}\\BraveSoftware\\Brave-Browser\\User Data"}},
        .nativeRoots = {"{config}/BraveSoftware/Brave-Browser",
                        "{home}/.var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser",
                        "{home}/snap/brave/current/.config/BraveSoftware/Brave-Browser"},
        .archiveName = "fbackup_brave.dat",
        .customProfileName = "brave_custom",
        .keyringApplication = "brave",
        .keyringLabel = "Brave Safe Storage",
    });
    return data;
}

const BrowserDataSet& vivaldiDataSet() {
    static const BrowserDataSet data = chromiumFamilyMember({
        .id = "vivaldi",
        .name = "Vivaldi",
        .windowsRoots = {{"{loc}\\Vivaldi\\User Data", "{loc}\\Vivaldi\\User Data"}},
        .nativeRoots = {"{config}/vivaldi", "{home}/.var/app/com.vivaldi.Vivaldi/config/vivaldi",
                        "{home}/snap/vivaldi/current/.config/vivaldi"},
        .archiveName = "fbackup_vivaldi.dat",
        .customProfileName = "vivaldi_custom",
        .keyringApplication = "vivaldi",
        .keyringLabel = "Vivaldi Safe Storage",
    });
    return data;
}

// The current Opera keeps its data root in the roaming data, its profile in
// that folder itself (older versions) or in its "Default" (newer ones). On
// the command line "opera" is this one where the classic Opera's data is not
// found.
const BrowserDataSet& operaStableDataSet() {
    static const BrowserDataSet data = chromiumFamilyMember({
        .id = "opera-stable",
        .name = "Opera",
        .windowsRoots = {{"{sfp}\\Opera Software\\Opera Stable",
                          "{sfp}\\Opera Software\\Opera Stable"}},
        .nativeRoots = {"{config}/opera", "{home}/.var/app/com.opera.Opera/config/opera",
                        "{home}/snap/opera/current/.config/opera"},
        .archiveName = "fbackup_opera_stable.dat",
        .customProfileName = "opst_custom",
        .commandName = "opera",
        .title = "Opera (current)",
        .keyringApplication = "opera",
        .keyringLabel = "Opera Safe Storage",
    });
    return data;
}

const BrowserDataSet& operaGxDataSet() {
    static const BrowserDataSet data = chromiumFamilyMember({
        .id = "opera-gx",
        .name = "Opera GX",
        .windowsRoots = {{"{sfp}\\Opera Software\\Opera GX Stable",
                          "{sfp}\\Opera Software\\Opera GX Stable"}},
        .nativeRoots = {},
        .archiveName = "fbackup_opera_gx.dat",
        .customProfileName = "opgx_custom",
        .unavailableHere = "Opera GX has no version for this machine: its data is reached in a "
                           "Windows prefix (--prefix) or on a Windows disk (--windows-root).",
    });
    return data;
}

const BrowserDataSet& chromiumDataSet() {
    static const BrowserDataSet data = chromiumFamilyMember({
        .id = "chromium",
        .name = "Chromium",
        .windowsRoots = {{"{loc}\\Chromium\\User Data", "{loc}\\Chromium\\User Data"}},
        .nativeRoots = {"{config}/chromium", "{home}/snap/chromium/common/chromium",
                        "{home}/.var/app/org.chromium.Chromium/config/chromium"},
        .archiveName = "fbackup_chromium.dat",
        .customProfileName = "chromium_custom",
        .keyringApplication = "chromium",
        .keyringLabel = "Chromium Safe Storage",
    });
    return data;
}

} // namespace vellarion
