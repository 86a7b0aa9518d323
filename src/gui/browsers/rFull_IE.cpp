#include "gui/browsers/rFull_IE.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tffr_IE::Tffr_IE(ShellContext& context, QWidget* parent)
    : Tffb_IE(context, internetExplorerDataSet(), Direction::Restore, parent) {}

} // namespace vellarion
