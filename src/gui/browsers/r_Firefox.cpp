#include "gui/browsers/r_Firefox.h"

#include "core/browsers/DataSet.h"
#include "core/services/SystemServices.h"
#include "core/text/Catalogue.h"
#include "gui/kit/ShellContext.h"
#include "gui/kit/Texts.h"
#include "gui/wizards/DirectoryEdit.h"

#include <QCheckBox>

namespace vellarion {

Tfr_Firefox::Tfr_Firefox(ShellContext& context, QWidget* parent)
    : Tfr_Firefox(context, firefoxDataSet(), parent) {}

Tfr_Firefox::Tfr_Firefox(ShellContext& context, const BrowserDataSet& data, QWidget* parent)
    : Tfb_Firefox(context, data, Direction::Restore, parent) {
    CheckBox17 = place<QCheckBox>("CheckBox17", QRect(39, 488, 340, 17),
                                  ui("Удаление файла резервной копии после завершения"));
    CheckBox17->setChecked(false);
    CheckBox19 = nullptr;
    if (context.services.isNative() && job().canRegisterProfiles() && JvDirectoryEdit1 != nullptr) {
        // Under the custom location it belongs to.
        const QRect custom = JvDirectoryEdit1->geometry();
        CheckBox19 =
            place<QCheckBox>("CheckBox19", QRect(custom.left(), custom.bottom() + 1, 340, 16),
                             shownText(formatText(N_("Добавить папку в профили %1"), {data.name})));
        CheckBox19->setChecked(false);
    }
}

bool Tfr_Firefox::deletesArchiveAfterRestore() const {
    return CheckBox17->isChecked();
}

bool Tfr_Firefox::registersProfile() const {
    return CheckBox19 != nullptr && CheckBox19->isChecked();
}

} // namespace vellarion
