// The data sets of Firefox and Flock. Flock keeps its data in Firefox's
// layout under "Flock\Browser" instead of "Mozilla\Firefox".
#include "browsers/DataSet.h"

namespace vellarion {

namespace {

// The four candidate directories, for one browser folder such as
// "Mozilla\Firefox": roaming data, the two per-user layouts, local data.
#define VELLARION_MOZILLA_CANDIDATES(folder)                                                       \
    {                                                                                              \
        {"{sfp}\\" folder, "{sfp}\\" folder},                                                      \
            {"{drv}\\Documents and Settings\\{uzer}\\Local Settings\\Application Data\\" folder,   \
             "{drv}\\Users\\{uzer}\\AppData\\Local\\" folder},                                     \
            {"{drv}\\Documents and Settings\\{uzer}\\Application Data\\" folder,                   \
             "{drv}\\Users\\{uzer}\\AppData\\Roaming\\" folder},                                   \
            {"{loc}\\" folder, "{loc}\\" folder},                                                  \
    }

} // namespace

const BrowserDataSet& firefoxDataSet() {
    static const BrowserDataSet data{
        .id = "firefox",
        .name = "Firefox",
        .markerFile = "profiles.ini",
        .candidates = VELLARION_MOZILLA_CANDIDATES("Mozilla\\Firefox"),
        .full =
            {
                .texts = {.backupCaption = "Архивация данных Firefox",
                          .restoreCaption = "Firefox",
                          .backupTitle = "Мастер полного резервного копирования Firefox",
                          .restoreTitle = "Мастер полного восстановления Firefox"},
                .rootTails = {"\\profiles.ini"},
                .archiveName = "fbackup_firefox.dat",
            },
    };
    return data;
}

const BrowserDataSet& flockDataSet() {
    static const BrowserDataSet data{
        .id = "flock",
        .name = "Flock",
        .markerFile = "profiles.ini",
        .candidates = VELLARION_MOZILLA_CANDIDATES("Flock\\Browser"),
        .full =
            {
                .texts = {.backupCaption = "Архивация данных Flock",
                          .restoreCaption = "Восстановление данных Flock",
                          .backupTitle = "Мастер полного резервного копирования Flock",
                          .restoreTitle = "Мастер полного восстановления Flock"},
                .rootTails = {"\\profiles.ini"},
                .archiveName = "fbackup_flock.dat",
            },
    };
    return data;
}

#undef VELLARION_MOZILLA_CANDIDATES

} // namespace vellarion
