#pragma once

#include "core/browsers/DataSet.h"
#include "core/text/Catalogue.h"

#include <functional>
#include <string_view>

namespace vellarion {

// The items whose data opens the user's accounts to whoever reads it: saved
// passwords (and the key store that guards them) and cookies.
inline bool holdsSecrets(const SelectiveItem& item) {
    return item.key == "passwords" || item.key == "cookies" || item.key == "extension-cookies" ||
           item.key == "certificates";
}

// Whether a selective backup of the ticked boxes would hold such data.
inline bool backupHoldsSecrets(const SelectiveWizardData& data,
                               const std::function<bool(std::string_view checkBox)>& ticked) {
    for (const SelectiveItem& item : data.items) {
        if (holdsSecrets(item) && ticked(item.checkBox)) {
            return true;
        }
    }
    return false;
}

// Said once of a backup that holds them without encryption (a full backup
// always holds them): backing them up so stays allowed.
inline constexpr std::string_view kSecretsReadable =
    N_("Пароли и куки будут в архиве в открытом виде: их прочтёт любой, у кого окажется файл.");
// The same of a browser that locks them with a key of the computer and
// account (one family of today's browsers): nobody else reads them, but they open
// nowhere else either.
inline constexpr std::string_view kSecretsLocked =
    N_("Без шифрования пароли и куки откроются только на этом компьютере в этой учётной записи.");
inline constexpr std::string_view kSecretsReadableCli =
    E_("the archive holds passwords and cookies readable by anyone who gets the file "
       "(--encrypt protects them)");

} // namespace vellarion
