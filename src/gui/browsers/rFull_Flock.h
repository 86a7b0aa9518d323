#pragma once

#include "gui/browsers/bFull_Flock.h"

namespace vellarion {

// "Safe Restore" of Flock.
class Tffr_Flock : public Tffb_Flock {
    Q_OBJECT
public:
    explicit Tffr_Flock(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion
