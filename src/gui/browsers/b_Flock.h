#pragma once

#include "gui/browsers/b_Firefox.h"

namespace vellarion {

// "Backup" of Flock: Firefox's window over Flock's folders and items.
class Tfb_Flock : public Tfb_Firefox {
    Q_OBJECT
public:
    explicit Tfb_Flock(ShellContext& context, QWidget* parent = nullptr);

protected:
    Tfb_Flock(ShellContext& context, Direction direction, QWidget* parent);
};

} // namespace vellarion
