#include "gui/browsers/b_Opera.h"

#include "core/browsers/DataSet.h"

namespace vellarion {

Tfb_Opera::Tfb_Opera(ShellContext& context, QWidget* parent)
    : Tfb_Opera(context, Direction::Backup, parent) {}

Tfb_Opera::Tfb_Opera(ShellContext& context, Direction direction, QWidget* parent)
    : Tfb_Firefox(context, operaDataSet(), direction, parent) {}

} // namespace vellarion
