#pragma once

#include "gui/browsers/bFull_Firefox.h"

namespace vellarion {

// "Safe Backup" of Flock: Firefox's window on Flock's data set.
class Tffb_Flock : public Tffb_Firefox {
    Q_OBJECT
public:
    explicit Tffb_Flock(ShellContext& context, QWidget* parent = nullptr);

protected:
    Tffb_Flock(ShellContext& context, Direction direction, QWidget* parent);
};

} // namespace vellarion
