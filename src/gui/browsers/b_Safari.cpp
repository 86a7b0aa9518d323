#include "gui/browsers/b_Safari.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tfb_Safari::Tfb_Safari(ShellContext& context, QWidget* parent)
    : Tfb_Safari(context, Direction::Backup, parent) {}

Tfb_Safari::Tfb_Safari(ShellContext& context, Direction direction, QWidget* parent)
    : Tfb_IE(context, safariDataSet(), direction, parent) {}

} // namespace vellarion
