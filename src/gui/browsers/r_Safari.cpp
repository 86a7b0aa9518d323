#include "gui/browsers/r_Safari.h"

namespace vellarion {

Tfr_Safari::Tfr_Safari(ShellContext& context, QWidget* parent)
    : Tfb_Safari(context, Direction::Restore, parent) {}

} // namespace vellarion
