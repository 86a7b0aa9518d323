#include "gui/browsers/b_Flock.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tfb_Flock::Tfb_Flock(ShellContext& context, QWidget* parent)
    : Tfb_Flock(context, Direction::Backup, parent) {}

Tfb_Flock::Tfb_Flock(ShellContext& context, Direction direction, QWidget* parent)
    : Tfb_Firefox(context, flockDataSet(), direction, parent) {}

} // namespace vellarion
