#include "gui/browsers/r_Chrome.h"

namespace vellarion {

Tfr_Chrome::Tfr_Chrome(ShellContext& context, QWidget* parent)
    : Tfb_Chrome(context, Direction::Restore, parent) {}

} // namespace vellarion
