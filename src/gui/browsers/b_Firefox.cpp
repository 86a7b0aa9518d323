#include "gui/browsers/b_Firefox.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tfb_Firefox::Tfb_Firefox(ShellContext& context, QWidget* parent)
    : Tfb_IE(context, firefoxDataSet(), Direction::Backup, parent) {}

} // namespace vellarion
