#pragma once

#include "gui/browsers/b_Firefox.h"

namespace vellarion {

// "Backup" of Chrome: Firefox's window over the profiles of Chrome's "User Data"
// folder and its sixteen items, every caption its own. The inherited
// themes box is no item of Chrome and is not shown.
class Tfb_Chrome : public Tfb_Firefox {
    Q_OBJECT
public:
    explicit Tfb_Chrome(ShellContext& context, QWidget* parent = nullptr);

protected:
    Tfb_Chrome(ShellContext& context, Direction direction, QWidget* parent);
};

} // namespace vellarion
