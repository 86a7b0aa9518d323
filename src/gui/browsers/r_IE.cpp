#include "gui/browsers/r_IE.h"

#include "core/browsers/DataSet.h"

#include <QLabel>

namespace vellarion {

Tfr_IE::Tfr_IE(ShellContext& context, QWidget* parent)
    : Tfb_IE(context, internetExplorerDataSet(), Direction::Restore, parent) {}

void Tfr_IE::FormActivate() {
    Label1->setText(title());
}

} // namespace vellarion
