#pragma once

#include "gui/browsers/bFull_Firefox.h"

namespace vellarion {

// "Safe Backup" and "Safe Restore" of a member of either family: Firefox's
// full window on the member's data set, with its texts.
class Tffb_Member : public Tffb_Firefox {
    Q_OBJECT
public:
    Tffb_Member(ShellContext& context, const BrowserDataSet& data, Direction direction,
                QWidget* parent = nullptr);
};

} // namespace vellarion
