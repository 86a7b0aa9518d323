#include "gui/browsers/bFull_IE.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tffb_IE::Tffb_IE(ShellContext& context, QWidget* parent)
    : FullWizardForm(context, internetExplorerDataSet(), Direction::Backup, parent) {}

} // namespace vellarion
