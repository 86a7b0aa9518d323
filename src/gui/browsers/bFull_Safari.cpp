#include "gui/browsers/bFull_Safari.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tffb_Safari::Tffb_Safari(ShellContext& context, QWidget* parent)
    : Tffb_Safari(context, Direction::Backup, parent) {}

Tffb_Safari::Tffb_Safari(ShellContext& context, Direction direction, QWidget* parent)
    : Tffb_Firefox(context, safariDataSet(), direction, parent) {}

} // namespace vellarion
