#include "browsers/b_Firefox.h"

#include "browsers/DataSet.h"

namespace vellarion {

Tfb_Firefox::Tfb_Firefox(ShellContext& context, QWidget* parent)
    : Tfb_IE(context, firefoxDataSet(), Direction::Backup, parent) {}

} // namespace vellarion
