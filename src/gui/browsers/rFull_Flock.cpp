#include "gui/browsers/rFull_Flock.h"

namespace vellarion {

Tffr_Flock::Tffr_Flock(ShellContext& context, QWidget* parent)
    : Tffb_Flock(context, Direction::Restore, parent) {}

} // namespace vellarion
