#include "browsers/bFull_Flock.h"

#include "browsers/DataSet.h"

namespace vellarion {

Tffb_Flock::Tffb_Flock(ShellContext& context, QWidget* parent)
    : Tffb_Flock(context, FullDirection::Backup, parent) {}

Tffb_Flock::Tffb_Flock(ShellContext& context, FullDirection direction, QWidget* parent)
    : Tffb_Firefox(context, flockDataSet(), direction, parent) {}

} // namespace vellarion
