#include "gui/browsers/rFull_Firefox.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tffr_Firefox::Tffr_Firefox(ShellContext& context, QWidget* parent)
    : Tffb_Firefox(context, firefoxDataSet(), Direction::Restore, parent) {}

} // namespace vellarion
