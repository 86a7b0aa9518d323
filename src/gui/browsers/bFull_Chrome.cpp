#include "gui/browsers/bFull_Chrome.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tffb_Chrome::Tffb_Chrome(ShellContext& context, QWidget* parent)
    : Tffb_Chrome(context, Direction::Backup, parent) {}

Tffb_Chrome::Tffb_Chrome(ShellContext& context, Direction direction, QWidget* parent)
    : Tffb_Firefox(context, chromeDataSet(), direction, parent) {}

} // namespace vellarion
