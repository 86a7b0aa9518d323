#pragma once

#include "gui/browsers/bFull_Firefox.h"

namespace vellarion {

// "Safe Backup" of Chrome: Firefox's window on Chrome's data set.
class Tffb_Chrome : public Tffb_Firefox {
    Q_OBJECT
public:
    explicit Tffb_Chrome(ShellContext& context, QWidget* parent = nullptr);

protected:
    Tffb_Chrome(ShellContext& context, Direction direction, QWidget* parent);
};

} // namespace vellarion
