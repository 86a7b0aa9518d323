#include "gui/browsers/b_Chrome.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tfb_Chrome::Tfb_Chrome(ShellContext& context, QWidget* parent)
    : Tfb_Chrome(context, Direction::Backup, parent) {}

Tfb_Chrome::Tfb_Chrome(ShellContext& context, Direction direction, QWidget* parent)
    : Tfb_Firefox(context, chromeDataSet(), direction, parent) {}

} // namespace vellarion
