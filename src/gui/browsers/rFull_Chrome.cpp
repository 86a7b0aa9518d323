#include "gui/browsers/rFull_Chrome.h"

namespace vellarion {

Tffr_Chrome::Tffr_Chrome(ShellContext& context, QWidget* parent)
    : Tffb_Chrome(context, Direction::Restore, parent) {}

} // namespace vellarion
