#pragma once

#include "gui/browsers/bFull_Chrome.h"

namespace vellarion {

// "Safe Restore" of Chrome.
class Tffr_Chrome : public Tffb_Chrome {
    Q_OBJECT
public:
    explicit Tffr_Chrome(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion
