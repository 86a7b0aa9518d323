#include "gui/browsers/rFull_Opera.h"

namespace vellarion {

Tffr_Opera::Tffr_Opera(ShellContext& context, QWidget* parent)
    : Tffb_Opera(context, Direction::Restore, parent) {}

} // namespace vellarion
