#pragma once

#include <string>
#include <string_view>

namespace vellarion {

// The texts the wizards show the user.
inline constexpr std::string_view kBackupLocationPlaceholder = "Расположение резервной копии:";
inline constexpr std::string_view kCustomProfilePlaceholder = "Custom profile location (optional):";
inline constexpr std::string_view kSelectBackupLocation = "Please Select Backup Location";
// Full windows: the data root was not found at activation.
inline constexpr std::string_view kSettingsNotFound = "Не найден файл параметров";
// Selective windows: the data root was not found at activation.
inline constexpr std::string_view kSettingsNotFoundChooseCustom =
    "Файл параметров не найден. Выберите пользовательский профиль.";
inline constexpr std::string_view kFinished = "Finished";

// A backup would replace an archive of its name.
inline std::string replaceArchiveQuestion(std::string_view archiveName) {
    return "Файл резервной копии \"" + std::string(archiveName) +
           "\" уже существует. Заменить его?";
}

// "Backup File "fbackup_firefox.dat" Not Found"
inline std::string backupFileNotFound(std::string_view archiveName) {
    return "Backup File \"" + std::string(archiveName) + "\" Not Found";
}

} // namespace vellarion
