#include "gui/browsers/rFull_Safari.h"

namespace vellarion {

Tffr_Safari::Tffr_Safari(ShellContext& context, QWidget* parent)
    : Tffb_Safari(context, Direction::Restore, parent) {}

} // namespace vellarion
