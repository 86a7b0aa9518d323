#include "gui/browsers/b_IE.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tfb_IE::Tfb_IE(ShellContext& context, QWidget* parent)
    : SelectiveWizardForm(context, internetExplorerDataSet(), Direction::Backup, parent) {}

} // namespace vellarion
