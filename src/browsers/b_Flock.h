#pragma once

#include "browsers/b_Firefox.h"

namespace vellarion {

// "Backup" of Flock: Firefox's window over Flock's folders and items.
class Tfb_Flock : public Tfb_Firefox {
    Q_OBJECT
public:
    explicit Tfb_Flock(ShellContext& context, QWidget* parent = nullptr);

protected:
    // Flock's banner and icon.
    static Look flockLook();

    Tfb_Flock(ShellContext& context, Mode mode, QWidget* parent);
};

} // namespace vellarion
