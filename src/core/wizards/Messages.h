#pragma once

#include "core/text/Catalogue.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellarion {

// The texts the wizards show the user.
inline constexpr std::string_view kBackupLocationPlaceholder = N_("Расположение резервной копии:");
inline constexpr std::string_view kCustomProfilePlaceholder = "Custom profile location (optional):";
inline constexpr std::string_view kSelectBackupLocation = "Please Select Backup Location";
// Full windows: the data root was not found at activation.
inline constexpr std::string_view kSettingsNotFound = N_("Не найден файл параметров");
// Selective windows: the data root was not found at activation.
inline constexpr std::string_view kSettingsNotFoundChooseCustom =
    N_("Файл параметров не найден. Выберите пользовательский профиль.");
inline constexpr std::string_view kFinished = "Finished";

// A backup would replace an archive of its name.
inline std::string replaceArchiveQuestion(std::string_view archiveName) {
    return formatText(N_("Файл резервной копии \"%1\" уже существует. Заменить его?"),
                      {archiveName});
}

// A full restore found no data of the browser here (a new machine, a fresh
// account): the place the browser itself would use is offered, and named.
inline std::string restoreIntoNewRootQuestion(std::string_view browser, std::string_view folder) {
    return "No " + std::string(browser) + " data was found here. Restore into " +
           std::string(folder) + "?";
}
inline std::string restoringIntoNewRoot(std::string_view browser, std::string_view folder) {
    return "No " + std::string(browser) + " data was found here; restoring into " +
           std::string(folder);
}

// A restore found its archive damaged before it wrote anything; `where`
// names the first damaged record and what is wrong with it.
inline std::string backupFileDamaged(std::string_view archiveName, std::string_view where) {
    return "Backup File \"" + std::string(archiveName) + "\" Is Damaged (" + std::string(where) +
           "). Nothing was restored.";
}

// A full restore's archive holds no file at all.
inline constexpr std::string_view kArchiveHoldsNothing =
    "The backup file holds no file. Nothing was restored.";

// Ticked items of which a job found nothing, by their captions.
inline std::string itemsWithoutDataMessage(bool backup, const std::vector<std::string>& captions) {
    std::string list;
    for (const std::string& caption : captions) {
        list += (list.empty() ? "" : ", ") + caption;
    }
    return formatText(backup
                          ? N_("Для следующих пунктов не найдено данных, они не сохранены: %1.")
                          : N_("В архиве нет данных следующих пунктов, они не восстановлены: %1."),
                      {list});
}

// The browser holds its profile: nothing may be copied or written.
inline std::string closeBrowserFirst(std::string_view browser) {
    return "Close " + std::string(browser) + " and try again.";
}

// Another job of this program works on the folder a job needs.
inline constexpr std::string_view kFolderInUse =
    N_("С папкой %1 работает другое задание программы.");

// A backup of a profile its browser holds: said once, before the copies.
inline std::string backupWhileRunning(std::string_view browser) {
    return formatText(N_("%1 запущен: его базы данных копируются согласованными снимками."),
                      {browser});
}

// A file the running browser keeps open without sharing it: left out.
inline std::string keptOpenByBrowser(std::string_view file, std::string_view browser) {
    return formatText(N_("%1: %2 держит его открытым; закройте %2, чтобы сохранить и его"),
                      {file, browser});
}

// A file that changed on every try to copy it: left out, never stored torn.
inline std::string keptChanging(std::string_view file, std::string_view why) {
    return formatText(N_("%1 менялся при каждой попытке скопировать его (%2): он не сохранён"),
                      {file, why});
}

// A job met registry keys on a machine without a registry (a Windows drive
// mounted on its own): said once, instead of a backup that looks complete.
inline constexpr std::string_view kRegistrySkipped =
    N_("Реестр Windows недоступен: разделы реестра пропущены.");

// The registry keys (below HKEY_CURRENT_USER) a backup could not save at all,
// one a line.
inline std::string keysNotSaved(const std::vector<std::string>& keys) {
    std::string text = N_("Не удалось сохранить разделы реестра:");
    for (const std::string& key : keys) {
        std::string_view name = key;
        while (name.ends_with('\\')) {
            name.remove_suffix(1);
        }
        text += "\nHKEY_CURRENT_USER\\" + std::string(name);
    }
    return text;
}

// A folder a job needed could not be made; `folder` as the user would type it.
inline std::string cannotCreateFolder(std::string_view folder) {
    return "Cannot create folder \"" + std::string(folder) + "\"";
}

// "Backup File "fbackup_<name>.dat" Not Found"
inline std::string backupFileNotFound(std::string_view archiveName) {
    return "Backup File \"" + std::string(archiveName) + "\" Not Found";
}

} // namespace vellarion
