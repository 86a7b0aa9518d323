#pragma once

#include "gui/browsers/bFull_Safari.h"

namespace vellarion {

// "Safe Restore" of Safari.
class Tffr_Safari : public Tffb_Safari {
    Q_OBJECT
public:
    explicit Tffr_Safari(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion
