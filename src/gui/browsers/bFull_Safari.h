#pragma once

#include "gui/browsers/bFull_Firefox.h"

namespace vellarion {

// "Safe Backup" of Safari: Firefox's window on Safari's data set.
class Tffb_Safari : public Tffb_Firefox {
    Q_OBJECT
public:
    explicit Tffb_Safari(ShellContext& context, QWidget* parent = nullptr);

protected:
    Tffb_Safari(ShellContext& context, Direction direction, QWidget* parent);
};

} // namespace vellarion
