#pragma once

#include "gui/browsers/b_Firefox.h"

namespace vellarion {

// "Backup" of Opera: Firefox's selective window over Opera's installation
// folders and its seventeen items, the local mail store and both widget
// folders among them. Firefox's themes box has no place in Opera's table,
// so the window has none under "Данные (пароли)".
class Tfb_Opera : public Tfb_Firefox {
    Q_OBJECT
public:
    explicit Tfb_Opera(ShellContext& context, QWidget* parent = nullptr);

protected:
    Tfb_Opera(ShellContext& context, Direction direction, QWidget* parent);
};

} // namespace vellarion
