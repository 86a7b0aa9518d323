#include "browsers/r_Firefox.h"

#include <QCheckBox>

namespace vellarion {

Tfr_Firefox::Tfr_Firefox(ShellContext& context, QWidget* parent)
    : Tfb_Firefox(context, firefoxDataSet(), Mode::Restore, firefoxLook(), parent) {
    CheckBox17 =
        new QCheckBox(QStringLiteral("Удаление файла резервной копии после завершения"), this);
    CheckBox17->setObjectName(QStringLiteral("CheckBox17"));
    CheckBox17->setGeometry(39, 488, 340, 17);
    CheckBox17->setChecked(false);
}

bool Tfr_Firefox::deletesArchiveAfterRestore() const {
    return CheckBox17->isChecked();
}

} // namespace vellarion
