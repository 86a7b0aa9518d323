#include "gui/browsers/bFull_Member.h"

namespace vellarion {

Tffb_Member::Tffb_Member(ShellContext& context, const BrowserDataSet& data, Direction direction,
                         QWidget* parent)
    : Tffb_Firefox(context, data, direction, parent) {}

} // namespace vellarion
