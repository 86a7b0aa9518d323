#include "gui/browsers/r_Firefox.h"

#include "core/browsers/DataSet.h"

#include <QCheckBox>

namespace vellarion {

Tfr_Firefox::Tfr_Firefox(ShellContext& context, QWidget* parent)
    : Tfb_Firefox(context, firefoxDataSet(), Direction::Restore, parent) {
    CheckBox17 =
        place<QCheckBox>("CheckBox17", QRect(39, 488, 340, 17),
                         QStringLiteral("Удаление файла резервной копии после завершения"));
    CheckBox17->setChecked(false);
}

bool Tfr_Firefox::deletesArchiveAfterRestore() const {
    return CheckBox17->isChecked();
}

} // namespace vellarion
