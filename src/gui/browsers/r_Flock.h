#pragma once

#include "gui/browsers/b_Flock.h"

namespace vellarion {

// "Restore" of Flock: the archive list beside the profile list. Unlike
// Firefox's restore window it offers no deleting of the archive.
class Tfr_Flock : public Tfb_Flock {
    Q_OBJECT
public:
    explicit Tfr_Flock(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion
