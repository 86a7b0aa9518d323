#include "gui/browsers/r_Flock.h"

namespace vellarion {

Tfr_Flock::Tfr_Flock(ShellContext& context, QWidget* parent)
    : Tfb_Flock(context, Direction::Restore, parent) {}

} // namespace vellarion
