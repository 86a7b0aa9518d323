#include "gui/browsers/bFull_Opera.h"

#include "core/browsers/DataSet.h"
#include "gui/kit/Texts.h"

#include <QLabel>
#include <QLineEdit>

namespace vellarion {

Tffb_Opera::Tffb_Opera(ShellContext& context, QWidget* parent)
    : Tffb_Opera(context, Direction::Backup, parent) {}

Tffb_Opera::Tffb_Opera(ShellContext& context, Direction direction, QWidget* parent)
    : Tffb_Firefox(context, operaDataSet(), direction, parent) {
    Label2 = place<QLabel>("Label2", QRect(39, 170, 521, 48),
                           shownText(operaDataSet().full.installFolderPrompt));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Edit1 = place<QLineEdit>("Edit1", QRect(39, 222, 283, 21));
    Label2->hide();
    Edit1->hide();
}

void Tffb_Opera::FormActivate() {
    Tffb_Firefox::FormActivate();
    showPromptWithoutDataRoot();
}

void Tffb_Opera::Button2Click() {
    state().customdir = Edit1->text().toStdString();
    Tffb_Firefox::Button2Click();
    showPromptWithoutDataRoot();
}

void Tffb_Opera::showPromptWithoutDataRoot() {
    if (!job().hasDataRoot()) {
        Label2->show();
        Edit1->show();
    }
}

} // namespace vellarion
