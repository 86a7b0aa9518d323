#include "gui/browsers/bFull_Flock.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tffb_Flock::Tffb_Flock(ShellContext& context, QWidget* parent)
    : Tffb_Flock(context, Direction::Backup, parent) {}

Tffb_Flock::Tffb_Flock(ShellContext& context, Direction direction, QWidget* parent)
    : Tffb_Firefox(context, flockDataSet(), direction, parent) {}

} // namespace vellarion
