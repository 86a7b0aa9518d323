#include "browsers/rFull_Firefox.h"

#include "browsers/DataSet.h"

namespace vellarion {

Tffr_Firefox::Tffr_Firefox(ShellContext& context, QWidget* parent)
    : Tffb_Firefox(context, firefoxDataSet(), Direction::Restore, parent) {}

} // namespace vellarion
