#include "gui/browsers/r_Opera.h"

namespace vellarion {

Tfr_Opera::Tfr_Opera(ShellContext& context, QWidget* parent)
    : Tfb_Opera(context, Direction::Restore, parent) {}

} // namespace vellarion
