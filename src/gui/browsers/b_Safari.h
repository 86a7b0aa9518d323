#pragma once

#include "gui/browsers/b_IE.h"

namespace vellarion {

// "Backup" of Safari: the root window over the profiles beside Safari's
// "Preferences" folder and its nine items; the settings item always comes
// from the data root, also with a custom profile location.
class Tfb_Safari : public Tfb_IE {
    Q_OBJECT
public:
    explicit Tfb_Safari(ShellContext& context, QWidget* parent = nullptr);

protected:
    Tfb_Safari(ShellContext& context, Direction direction, QWidget* parent);
};

} // namespace vellarion
