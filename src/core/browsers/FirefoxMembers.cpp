// The Firefox family's members beside Firefox: where each keeps the folder of
// its profiles.ini on Windows and on this machine, and its names. Where each
// was checked is in docs/browser-data.md.
#include "core/browsers/Families.h"

namespace vellarion {

const BrowserDataSet& libreWolfDataSet() {
    static const BrowserDataSet data = firefoxFamilyMember({
        .id = "librewolf",
        .name = "LibreWolf",
        .windowsRoots = {{"{sfp}\\librewolf", "{sfp}\\librewolf"}},
        .nativeRoots = {"{home}/.librewolf",
                        "{home}/.var/app/io.gitlab.librewolf-community/.librewolf"},
        .archiveName = "fbackup_librewolf.dat",
        .customProfileName = "123456789lw_custom",
    });
    return data;
}

const BrowserDataSet& waterfoxDataSet() {
    static const BrowserDataSet data = firefoxFamilyMember({
        .id = "waterfox",
        .name = "Waterfox",
        .windowsRoots = {{"{sfp}\\Waterfox", "{sfp}\\Waterfox"}},
        .nativeRoots = {"{home}/.waterfox", "{home}/.var/app/net.waterfox.waterfox/.waterfox"},
        .archiveName = "fbackup_waterfox.dat",
        .customProfileName = "123456789wf_custom",
    });
    return data;
}

const BrowserDataSet& floorpDataSet() {
    static const BrowserDataSet data = firefoxFamilyMember({
        .id = "floorp",
        .name = "Floorp",
        .windowsRoots = {{"{sfp}\\Floorp", "{sfp}\\Floorp"}},
        .nativeRoots = {"{home}/.floorp", "{home}/.var/app/one.ablaze.floorp/.floorp"},
        .archiveName = "fbackup_floorp.dat",
        .customProfileName = "123456789fl_custom",
    });
    return data;
}

const BrowserDataSet& zenDataSet() {
    static const BrowserDataSet data = firefoxFamilyMember({
        .id = "zen",
        .name = "Zen",
        .windowsRoots = {{"{sfp}\\zen", "{sfp}\\zen"}},
        .nativeRoots = {"{home}/.zen", "{home}/.var/app/app.zen_browser.zen/.zen"},
        .archiveName = "fbackup_zen.dat",
        .customProfileName = "123456789zn_custom",
    });
    return data;
}

} // namespace vellarion
