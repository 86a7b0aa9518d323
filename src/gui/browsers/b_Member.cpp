#include "gui/browsers/b_Member.h"

namespace vellarion {

Tfb_Member::Tfb_Member(ShellContext& context, const BrowserDataSet& data, Direction direction,
                       QWidget* parent)
    : Tfb_Firefox(context, data, direction, parent) {}

Tfr_Member::Tfr_Member(ShellContext& context, const BrowserDataSet& data, QWidget* parent)
    : Tfr_Firefox(context, data, parent) {}

} // namespace vellarion
