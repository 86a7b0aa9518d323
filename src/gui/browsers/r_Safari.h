#pragma once

#include "gui/browsers/b_Safari.h"

namespace vellarion {

// "Restore" of Safari: the archive list beside the profile list.
class Tfr_Safari : public Tfb_Safari {
    Q_OBJECT
public:
    explicit Tfr_Safari(ShellContext& context, QWidget* parent = nullptr);
};

} // namespace vellarion
